#pragma once
// The card's content: a header with the mark, the product name and a close button;
// the site as a question; the struck-through product name; the line saying until when;
// how to open it anyway; and, muted, how often the site was tried today. A fixed width of 380, text
// in `paper` on `night`.

#include <QLabel>
#include <QWidget>

class QToolButton;

namespace tarrow::ui {

inline constexpr int cardWidth = 380;

// "Tarrow" set in the brand font with a pink bar laid across it, then a period.
class StruckTarrow : public QWidget {
  public:
    explicit StruckTarrow(qreal size, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    qreal size_;
};

// One line of text that shrinks down to a fraction of its size before it is cut.
class ShrinkingLabel : public QWidget {
  public:
    ShrinkingLabel(qreal size, qreal smallest, QWidget* parent = nullptr);
    void setText(const QString& text);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString text_;
    qreal size_, smallest_;
};

class NoticeView : public QWidget {
  public:
    explicit NoticeView(QWidget* parent = nullptr);
    // `tries` is the muted line under the texts ("3rd try today"); hidden when empty.
    void setContent(const QString& site, const QString& line, const QString& tries = {});
    // Where "Okay, Now" is: under the mark in the panel, or without a tray in the window.
    void setTray(bool tray);
    QToolButton* closeButton() const { return close_; }
    QLabel* triesLabel() const { return tries_; }

  private:
    ShrinkingLabel* site_;
    QLabel* line_;
    QLabel* how_;
    QLabel* tries_;
    QToolButton* close_;
    bool tray_ = true;
};

// The text a screen reader says for the card.
QString noticeAccessibleText(const QString& site, const QString& line, const QString& tries = {},
                             bool tray = true);

}  // namespace tarrow::ui
