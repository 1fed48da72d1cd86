#include "app/ui/schedule_row.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/model/weekday_names.h"
#include "app/ui/day_chip.h"
#include "app/ui/text_styles.h"
#include "app/ui/time_field.h"
#include "app/ui/ui_text.h"

namespace tarrow::ui {

ScheduleRow::ScheduleRow(const std::vector<int>& week, const WeekdayNames& names,
                         const QLocale& locale, const QIcon& removeIcon, Edits edits,
                         QWidget* parent)
    : QWidget(parent),
      switch_(new QCheckBox(this)),
      week_(week),
      start_(new TimeField(locale, edits.start, this)),
      to_(new QLabel(text(toWord), this)),
      end_(new TimeField(locale, edits.end, this)),
      remove_(new QToolButton(this)),
      caption_(new MutedLabel({}, this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 3, 0, 3);
    column->setSpacing(4);
    auto* line = new QHBoxLayout;
    line->setSpacing(10);
    column->addLayout(line);

    line->addWidget(switch_, 0, Qt::AlignVCenter);
    connect(switch_, &QCheckBox::clicked, this, [edit = edits.enabled](bool on) { edit(on); });

    auto* days = new QHBoxLayout;
    days->setSpacing(3);
    for (int day : week_) {
        if (day < 1 || day > 7) continue;
        auto* chip = new DayChip(QString::fromStdString(names.chip[size_t(day)]),
                                 QString::fromStdString(names.full[size_t(day)]), this);
        chips_[size_t(day)] = chip;
        days->addWidget(chip);
        connect(chip, &DayChip::clicked, this, [edit = edits.day, day](bool on) { edit(day, on); });
    }
    line->addLayout(days);

    line->addWidget(start_, 0, Qt::AlignVCenter);
    setMuted(to_, true);
    line->addWidget(to_, 0, Qt::AlignVCenter);
    line->addWidget(end_, 0, Qt::AlignVCenter);
    line->addStretch(1);

    remove_->setIcon(removeIcon);
    remove_->setAutoRaise(true);  // borderless until the pointer is over it
    remove_->setFocusPolicy(Qt::StrongFocus);
    remove_->setToolTip(text(removeScheduleTip));
    line->addWidget(remove_, 0, Qt::AlignVCenter);
    connect(remove_, &QToolButton::clicked, this, [edit = edits.removed] { edit(); });

    caption_->setFont(captionFont(font()));
    caption_->hide();
    column->addWidget(caption_);
}

DayChip* ScheduleRow::chip(int day) const {
    return day >= 1 && day <= 7 ? chips_[size_t(day)] : nullptr;
}

QLabel* ScheduleRow::caption() const {
    return caption_;
}

std::vector<QWidget*> ScheduleRow::controls() const {
    std::vector<QWidget*> out{switch_};
    for (int day : week_)
        if (DayChip* c = chip(day)) out.push_back(c);
    out.insert(out.end(), {start_, end_, remove_});
    return out;
}

void ScheduleRow::fill(const Schedule& schedule, const ScheduleRowTexts& texts) {
    if (switch_->isChecked() != schedule.enabled) {
        const QSignalBlocker quiet(switch_);
        switch_->setChecked(schedule.enabled);
    }
    for (int day = 1; day <= 7; ++day) {
        DayChip* c = chips_[size_t(day)];
        const bool on = schedule.days.count(day) > 0;
        if (!c || c->isChecked() == on) continue;
        const QSignalBlocker quiet(c);
        c->setChecked(on);
    }
    start_->showMinutes(schedule.start);
    end_->showMinutes(schedule.end);

    if (!shown_ || texts != texts_) {
        texts_ = texts;
        switch_->setAccessibleName(QString::fromStdString(texts.switchName));
        start_->setAccessibleName(QString::fromStdString(texts.startName));
        end_->setAccessibleName(QString::fromStdString(texts.endName));
        remove_->setAccessibleName(QString::fromStdString(texts.removeName));
        caption_->setText(QString::fromStdString(texts.offCaption));
    }
    if (!shown_ || caption_->isHidden() == !schedule.enabled)
        caption_->setVisible(!schedule.enabled);
    shown_ = true;
}

// A new palette: the muted "to" is worked out from it again.
void ScheduleRow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (paletteChanged(event)) setMuted(to_, true);
}

}  // namespace tarrow::ui
