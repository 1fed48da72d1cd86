#pragma once
// The Sites tab: the set-up box, the status line, the add field with its problem line,
// the list of sites, suggestions and popular sites, and the footnote. What it does is
// `SitesTab`'s; this draws it and passes the user's actions on.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "app/model/log_fn.h"
#include "app/model/sites_tab.h"
#include "app/ui/tab_head.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarrow::ui {

class SetupBox;
class SitesList;
class StoreSignals;
struct ListItem;

struct SitesHooks {
    LogFn log;
    std::function<void()> setUp;
    std::function<void()> removeHelper;
    std::function<void()> openFullDiskAccess;  // macOS only; unused elsewhere
};

class SitesView final : public QWidget {
  public:
    SitesView(StoreSignals& observed, SitesHooks hooks, QWidget* parent = nullptr);

    const SitesTab& tab() const { return tab_; }
    QLineEdit* entry() const { return entry_; }
    QPushButton* addButton() const { return add_; }
    QLabel* statusLabel() const { return head_->statusLabel(); }
    QLabel* problemLabel() const { return problemText_; }
    QWidget* problemLine() const { return problem_; }
    SetupBox* setupBox() const { return head_->setupBox(); }
    SitesList* list() const { return list_; }

    // The items the list shows now, in order (what `draw` hands the list).
    std::vector<ListItem> items() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void storeChanged(StoreField field);
    void redraw();
    void addEntry();
    void showProblem();
    void chainFocus();
    void drawSign();
    void ticked(const std::string& key, bool on);
    void removed(const std::string& key);

    Store& store_;
    SitesHooks hooks_;
    SitesTab tab_;
    std::string locale_;           // for the visit counts
    std::optional<TabHead> head_;  // made in the constructor, once the column exists
    QLineEdit* entry_;
    QPushButton* add_;
    QWidget* problem_;
    QLabel* problemSign_;
    QLabel* problemText_;
    SitesList* list_;
};

}  // namespace tarrow::ui
