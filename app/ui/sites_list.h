#pragma once
// The scrolling list of the Sites tab: section headings, rows and notes. Each drawing
// keeps the widgets of the items it had before (matched by key) and only changes what
// differs, so a tick neither moves the list nor takes the keyboard focus away.

#include <QIcon>
#include <QScrollArea>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QVBoxLayout;

namespace tarrow::ui {

struct ListItem {
    enum class Kind { heading, note, loading, row };
    Kind kind = Kind::note;
    std::string key;   // the same key keeps its widget from one drawing to the next
    std::string text;  // a heading's or note's text, a row's name
    // Rows.
    std::optional<std::string> detail;
    bool checked = false;
    bool dim = false;
    bool removable = false;
    // Notes.
    std::string button;  // a button beside the text; empty for none
    bool centred = false;
    bool small = false;  // in the caption font rather than the callout font
};

class SitesList final : public QScrollArea {
  public:
    struct Actions {
        std::function<void(const std::string& key, bool on)> ticked;
        std::function<void(const std::string& key)> removed;
        std::function<void(const std::string& key)> pressed;  // a note's button
        // The focused row went away and no other row is left to take the focus.
        std::function<void()> focusLost;
    };
    explicit SitesList(Actions actions, QWidget* parent = nullptr);

    // Shows these items in this order. True when the order of the widgets changed (the
    // keyboard focus order then needs setting again).
    bool draw(const std::vector<ListItem>& items);

    // The controls in the order they are shown, for the keyboard focus order.
    std::vector<QWidget*> controls() const;
    // The widget of an item, or null.
    QWidget* widget(const std::string& key) const;
    size_t size() const { return order_.size(); }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QWidget* make(const ListItem& item);
    void update(QWidget* widget, const ListItem& item, bool first);
    void refocus(const std::string& goneKey, bool onRemoveButton,
                 const std::vector<std::string>& oldOrder);

    Actions actions_;
    QWidget* content_;
    QVBoxLayout* layout_;
    QIcon removeIcon_;
    std::vector<std::string> order_;
    std::unordered_map<std::string, QWidget*> widgets_;
};

}  // namespace tarrow::ui
