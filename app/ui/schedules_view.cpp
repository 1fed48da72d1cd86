#include "app/ui/schedules_view.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/model/schedules_texts.h"
#include "app/model/texts.h"
#include "app/ui/schedule_row.h"
#include "app/ui/settings_icons.h"
#include "app/ui/setup_box.h"
#include "app/ui/store_signals.h"
#include "app/ui/tab_head.h"
#include "app/ui/text_styles.h"
#include "app/ui/ui_text.h"

namespace tarrow::ui {

namespace {

QLabel* footnote(const QString& line, QWidget* parent) {
    auto* label = new QLabel(line, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(calloutFont(label->font()));
    return label;
}

}  // namespace

SchedulesView::SchedulesView(StoreSignals& observed, const Calendar& calendar, SchedulesHooks hooks,
                             QWidget* parent)
    : QWidget(parent),
      store_(observed.store()),
      calendar_(calendar),
      tab_(store_),
      hooks_(std::move(hooks)),
      week_(orderedWeekdays(calendar)),
      names_(weekdayNames(calendar.locale())),
      locale_(QString::fromStdString(calendar.locale())),
      removeIcon_(removeIcon()) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(12);

    head_.emplace(store_, hooks_.setUp, hooks_.removeHelper, column, this);

    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);  // the rows' controls take the focus themselves
    auto* content = new QWidget;
    rowsLayout_ = new QVBoxLayout(content);
    rowsLayout_->setContentsMargins(0, 0, 4, 0);
    rowsLayout_->setSpacing(0);
    rowsLayout_->addStretch(1);
    scroll_->setWidget(content);
    column->addWidget(scroll_, 1);
    connect(qApp, &QApplication::focusChanged, this, [this, content](QWidget*, QWidget* now) {
        if (now && content->isAncestorOf(now)) scroll_->ensureWidgetVisible(now, 0, 8);
    });

    auto* addRow = new QHBoxLayout;
    add_ = new QPushButton(text(addScheduleTitle), this);
    addRow->addWidget(add_);
    addRow->addStretch(1);
    column->addLayout(addRow);
    connect(add_, &QPushButton::clicked, this, &SchedulesView::added);

    column->addWidget(footnote(QString::fromStdString(onlyWhileOpen()), this));
    column->addWidget(footnote(text(okayNowFootnote), this));

    connect(&observed, &StoreSignals::changed, this, &SchedulesView::storeChanged);
}

void SchedulesView::storeChanged(StoreField field) {
    if (head_->follow(field)) return;
    switch (field) {
        case StoreField::config:
            redraw();
            return;
        default:
            return;
    }
}

void SchedulesView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) redraw();
}

void SchedulesView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (!paletteChanged(event)) return;
    // The drawn icon takes the new palette's text colour.
    removeIcon_ = removeIcon();
    for (ScheduleRow* row : rows_) row->removeButton()->setIcon(removeIcon_);
}

void SchedulesView::redraw() {
    // Off screen the rows wait for the next showing.
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    stale_ = false;
    const std::vector<Schedule>& schedules = store_.config().schedules;
    const size_t before = rows_.size();
    while (rows_.size() > schedules.size()) {
        ScheduleRow* gone = rows_.back();
        rows_.pop_back();
        // The focus stays in the list: on the row above, else on "Add Schedule".
        if (gone->isAncestorOf(QApplication::focusWidget())) {
            if (rows_.empty())
                add_->setFocus(Qt::OtherFocusReason);
            else
                rows_.back()->removeButton()->setFocus(Qt::OtherFocusReason);
        }
        gone->hide();
        gone->deleteLater();
    }
    shownIds_.resize(schedules.size());
    for (size_t i = 0; i < schedules.size(); ++i) {
        if (i == rows_.size()) rows_.push_back(makeRow(i));
        shownIds_[i] = schedules[i].id;
        rows_[i]->fill(schedules[i], scheduleRowTexts(schedules[i], calendar_));
    }
    if (rows_.size() != before) chainFocus();
}

ScheduleRow* SchedulesView::makeRow(size_t index) {
    ScheduleRow::Edits edits;
    edits.enabled = [this, index](bool on) { edited(tab_.setEnabled(ref(index), on)); };
    edits.day = [this, index](int day, bool on) { edited(tab_.setDay(ref(index), day, on)); };
    edits.start = [this, index](int m) { edited(tab_.setStart(ref(index), m)); };
    edits.end = [this, index](int m) { edited(tab_.setEnd(ref(index), m)); };
    edits.removed = [this, index] { edited(tab_.remove(ref(index))); };
    auto* row = new ScheduleRow(week_, names_, locale_, removeIcon_, std::move(edits));
    rowsLayout_->insertWidget(int(index), row);
    row->show();  // at once, not when the event loop comes round to it
    return row;
}

void SchedulesView::added() {
    tab_.add();
    // The new row is at the end of the list: bring it into view once it is laid out.
    QTimer::singleShot(0, this, [this] {
        if (!rows_.empty()) scroll_->ensureWidgetVisible(rows_.back(), 0, 0);
    });
}

// An edit the tab did not take (its schedule went meanwhile) shows the store's truth
// again; one it took has redrawn through the store already.
void SchedulesView::edited(bool taken) {
    if (!taken) redraw();
}

// Top to bottom: the set-up buttons, each row left to right, then "Add Schedule".
void SchedulesView::chainFocus() {
    std::vector<QWidget*> chain = {setupBox()->setUpButton(), setupBox()->removeButton()};
    for (ScheduleRow* row : rows_) {
        const std::vector<QWidget*> controls = row->controls();
        chain.insert(chain.end(), controls.begin(), controls.end());
    }
    chain.push_back(add_);
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace tarrow::ui
