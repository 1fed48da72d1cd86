// The documentation views as "--render" draws them, checked on their pixels: every text
// line stands out from its background by at least 4.5:1 in light and in dark, and the
// two appearances differ in background and in text. Also which palette the app takes.

#include "app/ui/render_views.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStyleFactory>
#include <cmath>
#include <map>

#include "app/controller/render_setup.h"
#include "app/model/config_json.h"
#include "app/ui/appearance.h"
#include "app/ui/store_signals.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/qt_app.h"

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
