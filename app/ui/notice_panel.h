#pragma once
// The notice card: a small frameless window in the middle of the screen with the
// pointer, above other windows, that never takes the keyboard focus. It fades in (and
// slides, unless the user asked for less motion), stays eight seconds (longer while the pointer
// rests on it) and fades out.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>

class QAbstractAnimation;
class QVariantAnimation;
class QParallelAnimationGroup;

namespace tarrow::ui {

class NoticeView;

class NoticePanel : public QWidget {
  public:
    NoticePanel();

    void show(const QString& site, const QString& line, const QString& tries = {});
    // Sets what the card says and gives its fitting size (its width and the height the
    // content needs at that width), without showing it.
    QSize setContent(const QString& site, const QString& line, const QString& tries = {});
    void schedule(std::chrono::milliseconds delay);  // hides after that long, unless hovered
    void dismiss();
    // With less motion asked for, the card fades in twice as fast and does not slide.
    void setReducedMotion(bool reduced) { reducedMotion_ = reduced; }
    // Without a tray the card sends the user to the settings window's menu.
    void setTray(bool tray);

    bool hovering() const { return hovering_; }
    bool dismissing() const { return dismissing_; }
    NoticeView* view() const { return view_; }
    // The running fade-in (with its slide), if any.
    QAbstractAnimation* appearing() const;
    // Where the card goes on the screen with the pointer, for its size.
    static QPoint placeFor(const QSize& size);

  protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

  private:
    void setOpacity(qreal opacity);

    NoticeView* view_;
    QTimer hide_;
    bool hovering_ = false;
    bool dismissing_ = false;
    bool reducedMotion_ = false;
    int shadow_ = 0;  // the see-through margin around the card that holds its shadow
    QPointer<QParallelAnimationGroup> appear_;
    QPointer<QVariantAnimation> fade_;
    QPoint dragFrom_;
};

}  // namespace tarrow::ui
