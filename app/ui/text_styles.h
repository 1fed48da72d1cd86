#pragma once
// The text styles the settings views share: smaller fonts for explanations and second
// lines, and `muted` text that follows the palette when it changes (light or dark).

#include <QFont>
#include <QLabel>

namespace tarrow::ui {

// Second lines under a name.
QFont captionFont(const QFont& base);
// Explanations and messages.
QFont calloutFont(const QFont& base);
// Group titles and section headings.
QFont headlineFont(const QFont& base);

// Draws a widget's text in `muted` (dim true) or in the palette's own colour again.
void setMuted(QWidget* widget, bool dim);

// True for the events that say the widget's palette may be new (a light or dark palette
// for the whole application reaches windows as one and their children as the other).
bool paletteChanged(const QEvent* event);

// A word-wrapping label in `muted`, kept muted across palette changes.
class MutedLabel final : public QLabel {
  public:
    explicit MutedLabel(const QString& text = {}, QWidget* parent = nullptr);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    bool muting_ = false;
};

}  // namespace tarrow::ui
