// The Schedules and General tabs and the welcome window on the private X server of this
// program (settings_window_x11_test.cpp starts it), in the light and a dark palette. The
// pictures land in the build folder's screenshots/ for a look.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <set>

#include "app/ui/appearance.h"
#include "app/ui/day_chip.h"
#include "app/ui/schedule_row.h"
#include "app/ui/welcome_window.h"
#include "tests/app/ui/tabs_fixture.h"

namespace tarrow::test {
namespace {

QImage shown(QWidget& window) {
    for (int i = 0; i < 20; ++i) QTest::qWait(20);  // let every queued paint reach the server
    return window.screen()->grabWindow(window.winId()).toImage();
}

size_t colours(const QImage& image) {
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) seen.insert(image.pixel(x, y));
    return seen.size();
}

// The pixel at the middle of a widget, as the server shows it.
QColor middleOf(const QImage& image, QWidget& window, QWidget* widget, QPoint offset = {}) {
    const QPoint at = widget->mapTo(&window, widget->rect().center() + offset);
    return image.pixelColor(at * window.devicePixelRatio());
}

TEST(TabsOnX11, SchedulesGeneralAndWelcomeInLightAndDark) {
    if (!QApplication::instance()) GTEST_SKIP() << "no Xvfb";
    const QPalette light = ui::appearancePalette(ui::Appearance::light);
    Config config;
    config.schedules = {Schedule::make(true, {2, 3, 4, 5, 6}, 540, 720),
                        Schedule::make(false, {1, 7}, 1320, 120), Schedule::make(true, {4}, 0, 0)};
    bool atLogin = true;
    const LoginItem login{[&] { return atLogin; },
                          [&](bool on) {
                              atLogin = on;
                              return Status();
                          }};
    TabsRig rig(encodeConfig(config), "en_US", login);
    rig.store->setHelper(Helper::stuck);
    rig.store->setStatus("Everything open \u2013 next schedule Mon 9:00 AM");
    const QString folder = QStringLiteral(TARROW_SCREENSHOT_DIR);
    QDir().mkpath(folder);

    for (const char* look : {"light", "dark"}) {
        QApplication::setPalette(
            std::string(look) == "dark" ? ui::appearancePalette(ui::Appearance::dark) : light);
        rig.open(Tab::schedules);
        QImage image = shown(*rig.window);
        EXPECT_EQ(image.size(), QSize(640, 600) * rig.window->devicePixelRatio()) << look;
        EXPECT_GT(colours(image), 50u) << look;
        // A chip that is on is filled with the text colour; one that is off is not.
        ui::ScheduleRow& row = *rig.schedules().row(0);
        const QColor text = QApplication::palette().color(QPalette::WindowText);
        const QColor background = QApplication::palette().color(QPalette::Window);
        EXPECT_EQ(middleOf(image, *rig.window, row.chip(2), {0, 8}), text) << look;
        EXPECT_EQ(middleOf(image, *rig.window, row.chip(1), {0, 8}), background) << look;
        EXPECT_TRUE(image.save(folder + "/settings-schedules-" + look + ".png"));

        rig.store->setHelper(Helper::working);
        rig.open(Tab::general);
        image = shown(*rig.window);
        EXPECT_GT(colours(image), 50u) << look;
        EXPECT_TRUE(image.save(folder + "/settings-general-" + look + ".png"));
        rig.store->setHelper(Helper::stuck);

        ui::WelcomeWindow welcome([] {});
        welcome.present();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&welcome));
        image = shown(welcome);
        EXPECT_GT(colours(image), 20u) << look;
        EXPECT_TRUE(image.save(folder + "/welcome-" + look + ".png"));
    }
    QApplication::setPalette(light);
}

// The Schedules tab in other locales, Arabic right to left, for a look at the week's order,
// the day labels and the clock.
TEST(TabsOnX11, SchedulesInOtherLocales) {
    if (!QApplication::instance()) GTEST_SKIP() << "no Xvfb";
    QApplication::setPalette(ui::appearancePalette(ui::Appearance::light));
    const QString folder = QStringLiteral(TARROW_SCREENSHOT_DIR);
    for (const char* locale : {"de_DE", "ar_EG", "ja_JP"}) {
        Config config;
        config.schedules = {Schedule::make(true, {2, 3, 4, 5, 6}, 540, 720),
                            Schedule::make(false, {1, 7}, 1320, 120)};
        TabsRig rig(config, locale);
        if (std::string(locale) == "ar_EG") rig.window->setLayoutDirection(Qt::RightToLeft);
        rig.open(Tab::schedules);
        const QImage image = shown(*rig.window);
        EXPECT_GT(colours(image), 50u) << locale;
        EXPECT_TRUE(image.save(folder + "/settings-schedules-" + locale + ".png"));
    }
}

}  // namespace
}  // namespace tarrow::test
