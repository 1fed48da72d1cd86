// Which palette the app takes from the desktop, and again when the desktop's theme changes.

#include "app/ui/appearance.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QPalette>

#include "tests/support/qt_app.h"

using tarrow::ui::Appearance;

namespace tarrow::test {
namespace {

// A desktop with a dark theme gets our dark palette; when its theme changes the app looks
// at the desktop's palette again (here the off-screen platform's light one).
TEST(Appearance, FollowsTheDesktop) {
    ensureQtApp();
    QPalette desktopDark;
    desktopDark.setColor(QPalette::Window, QColor(0x10, 0x10, 0x10));
    QApplication::setPalette(desktopDark);
    auto* app = static_cast<QApplication*>(QApplication::instance());
    ui::followDesktopAppearance(*app);
    EXPECT_EQ(QApplication::palette(), ui::appearancePalette(Appearance::dark));
    EXPECT_EQ(ui::appearanceOf(QApplication::palette()), Appearance::dark);

    QEvent themeChange(QEvent::ThemeChange);
    QApplication::sendEvent(app, &themeChange);
    QApplication::sendEvent(app, &themeChange);  // every window hears it: acted on once
    QApplication::processEvents();
    EXPECT_EQ(QApplication::palette(), ui::appearancePalette(Appearance::light));
    EXPECT_EQ(ui::appearanceOf(QApplication::palette()), Appearance::light);
    QApplication::setPalette(QPalette());
}

}  // namespace
}  // namespace tarrow::test
