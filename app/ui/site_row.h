#pragma once
// One row of the Sites list: a checkbox whose label is the site's name, its grey second
// line under the name, and for sites of "Your list" a button that removes the site.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QIcon;
class QLabel;
class QToolButton;

namespace tarrow::ui {

class SiteRow final : public QWidget {
  public:
    // A null removeIcon makes a row without the remove button. The callbacks run on the
    // user's clicks only, never when `fill` sets the state.
    SiteRow(const QIcon& removeIcon, std::function<void(bool on)> ticked,
            std::function<void()> removed, QWidget* parent = nullptr);

    // Changes only what differs from what is shown now.
    void fill(const std::string& name, const std::optional<std::string>& detail, bool checked,
              bool dim);

    QCheckBox* checkBox() const { return check_; }
    QLabel* detailLabel() const { return detail_; }
    QToolButton* removeButton() const { return remove_; }  // null unless removable
    bool dim() const { return dim_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QCheckBox* check_;
    QLabel* detail_;
    QToolButton* remove_ = nullptr;
    std::string name_;
    std::optional<std::string> detailText_;
    bool dim_ = false;
    bool shown_ = false;
};

}  // namespace tarrow::ui
