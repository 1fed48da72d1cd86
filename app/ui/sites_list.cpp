#include "app/ui/sites_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_set>

#include "app/ui/settings_icons.h"
#include "app/ui/site_row.h"
#include "app/ui/text_styles.h"

namespace tarrow::ui {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

class Heading final : public QLabel {
  public:
    explicit Heading(QWidget* parent) : QLabel(parent) {
        setFont(headlineFont(font()));
        setTextFormat(Qt::PlainText);
    }
    // The first heading sits at the top; the others keep some space above them.
    void fill(const ListItem& item, bool first) {
        if (text() != ::tarrow::ui::text(item.text)) setText(::tarrow::ui::text(item.text));
        const int above = first ? 0 : 12;
        if (contentsMargins().top() != above) setContentsMargins(0, above, 0, 2);
    }
};

// A muted line, wrapped as far as it needs, with an optional button beside it.
class Note final : public QWidget {
  public:
    Note(const ListItem& item, std::function<void()> pressed, QWidget* parent)
        : QWidget(parent), label_(new MutedLabel({}, this)) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 4, 0, 4);
        row->setSpacing(8);
        label_->setFont(item.small ? captionFont(font()) : calloutFont(font()));
        if (item.centred) label_->setAlignment(Qt::AlignHCenter);
        row->addWidget(label_, 1);
        if (!item.button.empty()) {
            button_ = new QPushButton(this);
            row->addWidget(button_, 0, Qt::AlignVCenter);
            QObject::connect(button_, &QPushButton::clicked, this, std::move(pressed));
        }
    }
    void fill(const ListItem& item) {
        if (label_->text() != text(item.text)) label_->setText(text(item.text));
        if (button_ && button_->text() != text(item.button)) button_->setText(text(item.button));
    }
    QPushButton* button() const { return button_; }

  private:
    MutedLabel* label_;
    QPushButton* button_ = nullptr;
};

// "Looking at your browsing…" beside a busy indicator, centred.
class Loading final : public QWidget {
  public:
    explicit Loading(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 4, 0, 4);
        row->setSpacing(8);
        auto* busy = new QProgressBar(this);
        busy->setRange(0, 0);
        busy->setTextVisible(false);
        busy->setFixedSize(48, 10);
        row->addStretch(1);
        row->addWidget(busy, 0, Qt::AlignVCenter);
        row->addWidget(label_);
        row->addStretch(1);
        busy_ = busy;
    }
    void fill(const ListItem& item) {
        if (label_->text() == text(item.text)) return;
        label_->setText(text(item.text));
        busy_->setAccessibleName(text(item.text));
    }

  private:
    QLabel* label_;
    QProgressBar* busy_;
};

}  // namespace

SitesList::SitesList(Actions actions, QWidget* parent)
    : QScrollArea(parent), actions_(std::move(actions)), content_(new QWidget) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every control inside takes the focus itself; the area only follows it.
    setFocusPolicy(Qt::NoFocus);
    layout_ = new QVBoxLayout(content_);
    layout_->setContentsMargins(0, 0, 4, 0);
    layout_->setSpacing(2);
    layout_->addStretch(1);
    setWidget(content_);
    removeIcon_ = removeIcon();
    // The keyboard focus stays in view; a click leaves the list where it is.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && content_->isAncestorOf(now) && QApplication::mouseButtons() == Qt::NoButton)
            ensureWidgetVisible(now, 0, 8);
    });
}

QWidget* SitesList::make(const ListItem& item) {
    const std::string key = item.key;
    switch (item.kind) {
        case ListItem::Kind::heading:
            return new Heading(content_);
        case ListItem::Kind::note:
            return new Note(
                item, [this, key] { actions_.pressed(key); }, content_);
        case ListItem::Kind::loading:
            return new Loading(content_);
        case ListItem::Kind::row:
            return new SiteRow(
                item.removable ? removeIcon_ : QIcon(),
                [this, key](bool on) { actions_.ticked(key, on); },
                [this, key] { actions_.removed(key); }, content_);
    }
    return nullptr;
}

void SitesList::update(QWidget* widget, const ListItem& item, bool first) {
    switch (item.kind) {
        case ListItem::Kind::heading:
            static_cast<Heading*>(widget)->fill(item, first);
            return;
        case ListItem::Kind::note:
            static_cast<Note*>(widget)->fill(item);
            return;
        case ListItem::Kind::loading:
            static_cast<Loading*>(widget)->fill(item);
            return;
        case ListItem::Kind::row:
            static_cast<SiteRow*>(widget)->fill(item.text, item.detail, item.checked, item.dim);
            return;
    }
}

bool SitesList::draw(const std::vector<ListItem>& items) {
    // Which item holds the keyboard focus now, if any.
    std::string focusedKey;
    bool onRemoveButton = false;
    // The window's focus widget: the one that has the focus, or gets it when the window is
    // active again.
    if (QWidget* focus = window()->focusWidget(); focus && content_->isAncestorOf(focus)) {
        for (const auto& [key, widget] : widgets_) {
            if (widget != focus && !widget->isAncestorOf(focus)) continue;
            focusedKey = key;
            auto* row = dynamic_cast<SiteRow*>(widget);
            onRemoveButton = row && row->removeButton() == focus;
        }
    }

    std::vector<std::string> order;
    order.reserve(items.size());
    std::unordered_set<std::string> kept;
    for (const ListItem& item : items) {
        if (!kept.insert(item.key).second) continue;  // a key shows once
        QWidget*& widget = widgets_[item.key];
        const bool fresh = !widget;
        if (fresh) widget = make(item);
        update(widget, item, order.empty());
        // A child made while the list is on screen would only show on the next turn of
        // the event loop.
        if (fresh && content_->isVisible()) widget->show();
        order.push_back(item.key);
    }

    const std::vector<std::string> oldOrder = order_;
    const bool moved = order != order_;
    if (moved) {
        while (QLayoutItem* held = layout_->takeAt(0)) delete held;  // widgets stay
        for (const std::string& key : order) layout_->addWidget(widgets_[key]);
        layout_->addStretch(1);
        order_ = std::move(order);
    }

    bool focusGone = false;
    for (auto it = widgets_.begin(); it != widgets_.end();) {
        if (kept.count(it->first)) {
            ++it;
            continue;
        }
        focusGone = focusGone || it->first == focusedKey;
        // Deleted later: the item may be going away from inside its own click.
        it->second->hide();
        it->second->deleteLater();
        it = widgets_.erase(it);
    }
    if (focusGone) refocus(focusedKey, onRemoveButton, oldOrder);
    return moved;
}

// The focus moves to the row of the same section that now stands where the gone one
// stood, or to the one before it at the section's end, on the same kind of control.
void SitesList::refocus(const std::string& goneKey, bool onRemoveButton,
                        const std::vector<std::string>& oldOrder) {
    auto rowAt = [this](const std::string& key) -> SiteRow* {
        auto it = widgets_.find(key);
        return it == widgets_.end() ? nullptr : dynamic_cast<SiteRow*>(it->second);
    };
    // Rows gone with this drawing count as rows of the section; anything else ends it.
    auto inSection = [this, &rowAt](const std::string& key) {
        return rowAt(key) || !widgets_.count(key);
    };
    const auto at = std::find(oldOrder.begin(), oldOrder.end(), goneKey);
    SiteRow* next = nullptr;
    for (auto it = at; it != oldOrder.end() && !next && inSection(*it); ++it) next = rowAt(*it);
    for (auto it = at; it != oldOrder.begin() && !next && inSection(*(it - 1));)
        next = rowAt(*--it);
    if (!next) {
        if (actions_.focusLost) actions_.focusLost();
        return;
    }
    QWidget* target = next->checkBox();
    if (onRemoveButton && next->removeButton()) target = next->removeButton();
    target->setFocus(Qt::OtherFocusReason);
}

std::vector<QWidget*> SitesList::controls() const {
    std::vector<QWidget*> out;
    for (const std::string& key : order_) {
        QWidget* widget = widgets_.at(key);
        if (auto* row = dynamic_cast<SiteRow*>(widget)) {
            out.push_back(row->checkBox());
            if (row->removeButton()) out.push_back(row->removeButton());
        } else if (auto* note = dynamic_cast<Note*>(widget); note && note->button()) {
            out.push_back(note->button());
        }
    }
    return out;
}

QWidget* SitesList::widget(const std::string& key) const {
    auto it = widgets_.find(key);
    return it == widgets_.end() ? nullptr : it->second;
}

// Drawn icons take the palette's text colour.
void SitesList::changeEvent(QEvent* event) {
    QScrollArea::changeEvent(event);
    if (!paletteChanged(event)) return;
    removeIcon_ = removeIcon();
    for (const auto& [key, widget] : widgets_)
        if (auto* row = dynamic_cast<SiteRow*>(widget); row && row->removeButton())
            row->removeButton()->setIcon(removeIcon_);
}

}  // namespace tarrow::ui
