#pragma once
// One weekday of a schedule as a toggle: a small rounded chip, filled with the text
// colour while on, outlined while off, in the window's own palette (light or dark).

#include <QAbstractButton>

namespace tarrow::ui {

class DayChip final : public QAbstractButton {
  public:
    // `label` is the short day label; `name` the full weekday name, shown as the tool tip
    // and given to screen readers.
    DayChip(const QString& label, const QString& name, QWidget* parent = nullptr);

    // 30 × 24, wider only where the locale's label needs it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarrow::ui
