#include "app/ui/appearance.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace tarrow::ui {

namespace {

struct Colours {
    QColor window, text, base, alternate, button, placeholder, disabled, highlight, link;
};

// Text and muted text (text at 0.62 opacity) stay above 5:1 on the window and on the
// base colour, the placeholder too, so that even small muted captions, whose thin
// strokes never reach their full colour, read at 4.5:1 or more.
const Colours light{
    .window = QColor(0xF6, 0xF5, 0xF8),
    .text = QColor(0x0B, 0x0A, 0x0F),
    .base = QColor(0xFF, 0xFF, 0xFF),
    .alternate = QColor(0xF7, 0xF6, 0xF9),
    .button = QColor(0xEA, 0xE8, 0xEE),
    .placeholder = QColor(0x68, 0x65, 0x70),
    .disabled = QColor(0x9A, 0x97, 0xA1),
    .highlight = QColor(0x2F, 0x6C, 0xD0),
    .link = QColor(0xB8, 0x1D, 0x5B),
};
const Colours dark{
    .window = QColor(0x26, 0x25, 0x2D),
    .text = QColor(0xF4, 0xF2, 0xF8),
    // Fields and check boxes a step lighter than the window, so that their edges show.
    .base = QColor(0x34, 0x33, 0x3D),
    .alternate = QColor(0x2C, 0x2B, 0x34),
    .button = QColor(0x3C, 0x3B, 0x46),
    .placeholder = QColor(0xA8, 0xA5, 0xB2),
    .disabled = QColor(0x76, 0x74, 0x80),
    .highlight = QColor(0x3D, 0x7E, 0xDB),
    .link = QColor(0xFF, 0x85, 0xAE),
};

// The desktop announces a new theme to every window; once they all have it, the
// application goes back to the desktop's palette to see which appearance it now has,
// then gets ours for that.
class ThemeWatch final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ThemeChange && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                QApplication::setPalette(QPalette());
                QApplication::setPalette(appearancePalette(appearanceOf(QApplication::palette())));
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool pending_ = false;
};

}  // namespace

QPalette appearancePalette(Appearance appearance) {
    const Colours& c = appearance == Appearance::dark ? dark : light;
    QPalette p(c.button, c.window);  // fills the shades (light, mid, dark…) from these two
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, c.window);
        p.setColor(group, QPalette::WindowText, c.text);
        p.setColor(group, QPalette::Base, c.base);
        p.setColor(group, QPalette::AlternateBase, c.alternate);
        p.setColor(group, QPalette::Text, c.text);
        p.setColor(group, QPalette::Button, c.button);
        p.setColor(group, QPalette::ButtonText, c.text);
        p.setColor(group, QPalette::BrightText, Qt::white);
        p.setColor(group, QPalette::Highlight, c.highlight);
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::PlaceholderText, c.placeholder);
        p.setColor(group, QPalette::ToolTipBase, c.base);
        p.setColor(group, QPalette::ToolTipText, c.text);
        p.setColor(group, QPalette::Link, c.link);
        p.setColor(group, QPalette::LinkVisited, c.link);
    }
    p.setColor(QPalette::Disabled, QPalette::Window, c.window);
    p.setColor(QPalette::Disabled, QPalette::Base, c.window);
    p.setColor(QPalette::Disabled, QPalette::Button, c.button);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, c.disabled);
    p.setColor(QPalette::Disabled, QPalette::PlaceholderText, c.disabled);
    p.setColor(QPalette::Disabled, QPalette::Highlight, c.disabled);
    return p;
}

Appearance appearanceOf(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Window).lightness() < 128 ? Appearance::dark
                                                                               : Appearance::light;
}

void followDesktopAppearance(QApplication& application) {
    QApplication::setPalette(appearancePalette(appearanceOf(QApplication::palette())));
    application.installEventFilter(new ThemeWatch(&application));
}

}  // namespace tarrow::ui
