// The settings window and the welcome window on a private X server: what the server holds
// after drawing is the window's full size and not blank, in a light and a dark palette and
// in other locales. The pictures are kept in the build folder's screenshots/ for a look.
// The environment below also serves the card's test in this program.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QStyleFactory>
#include <set>

#include "app/model/calendar.h"
#include "app/model/evaluation.h"
#include "app/model/texts.h"
#include "app/ui/appearance.h"
#include "app/ui/day_chip.h"
#include "app/ui/schedule_row.h"
#include "app/ui/welcome_window.h"
#include "tests/app/ui/settings_fixture.h"
#include "tests/support/xvfb.h"

// Qt's X11 platform asks the session bus for its theme and accessibility; libdbus keeps
// a buffer of that failed attempt until exit, and fontconfig its caches: not this
// program's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}

namespace tarrow::test {
namespace {

class X11Environment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!Xvfb::available()) return;
        if (xcb_connection_t* c = xvfb_.start()) xcb_disconnect(c);
        setenv("DISPLAY", xvfb_.display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        application_ = new QApplication(argc_, argv_);
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QDir().mkpath(QStringLiteral(TARROW_SCREENSHOT_DIR));
    }
    void TearDown() override {
        delete application_;
        xvfb_.stop();
    }

  private:
    Xvfb xvfb_;
    int argc_ = 1;
    char name_[24] = "settings_window_x11";
    char* argv_[2] = {name_, nullptr};
    QApplication* application_ = nullptr;
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new X11Environment);

const QString screenshots = QStringLiteral(TARROW_SCREENSHOT_DIR);

// What the X server shows of the window.
QImage shown(QWidget& window) {
    for (int i = 0; i < 20; ++i) QTest::qWait(20);  // let every queued paint reach the server
    return window.screen()->grabWindow(window.winId()).toImage();
}

// The share of pixels that differ from the most common colour (the background), and the
// number of distinct colours.
std::pair<double, size_t> contentOf(const QImage& image) {
    std::map<QRgb, size_t> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    size_t most = 0;
    for (const auto& [colour, n] : counts) most = std::max(most, n);
    const double total = double(image.width()) * image.height();
    return {(total - double(most)) / total, counts.size()};
}

TEST(SettingsWindowOnX11, DrawsTheWholeWindowInLightAndDark) {
    if (!QApplication::instance()) GTEST_SKIP() << "no Xvfb";
    Config config = sitesConfig({"youtube.com", "bild.de", "news.google.com", "example.org"});
    config.sites[3].enabled = false;
    SettingsRig rig(config);
    Calendar calendar("Europe/Berlin", "en_US");
    const Instant now = Instant(std::chrono::seconds(1'800'000'000));
    rig.store->setStatus(statusLine(evaluate(config, now, calendar), now, calendar));
    rig.store->setHelper(Helper::missing);
    rig.store->setSuggestions({{"github.com", 310}, {"reddit.com", 122}, {"wikipedia.org", 48}});
    rig.store->setLockedBrowsers({"Firefox"});
    rig.window->showTab(Tab::sites);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    QTest::keyClicks(rig.sites().entry(), "you tube");
    QTest::keyClick(rig.sites().entry(), Qt::Key_Return);

    for (const char* look : {"light", "dark"}) {
        if (std::string(look) == "dark")
            QApplication::setPalette(ui::appearancePalette(ui::Appearance::dark));
        const QImage image = shown(*rig.window);
        EXPECT_EQ(image.size(), QSize(640, 600) * rig.window->devicePixelRatio()) << look;
        const auto [share, colours] = contentOf(image);
        EXPECT_GT(share, 0.05) << look;   // more than a plain background
        EXPECT_GT(colours, 50u) << look;  // text, icons and controls, smoothed
        EXPECT_TRUE(image.save(screenshots + "/settings-sites-" + look + ".png")) << look;
    }
}

// The pixel at the middle of a widget, as the server shows it.
QColor middleOf(const QImage& image, QWidget& window, QWidget* widget, QPoint offset = {}) {
    const QPoint at = widget->mapTo(&window, widget->rect().center() + offset);
    return image.pixelColor(at * window.devicePixelRatio());
}

TEST(TabsOnX11, SchedulesAndWelcomeInLightAndDark) {
    if (!QApplication::instance()) GTEST_SKIP() << "no Xvfb";
    const QPalette light = ui::appearancePalette(ui::Appearance::light);
    Config config;
    config.schedules = {Schedule::make(true, {2, 3, 4, 5, 6}, 540, 720),
                        Schedule::make(false, {1, 7}, 1320, 120), Schedule::make(true, {4}, 0, 0)};
    SettingsRig rig(config);
    rig.store->setHelper(Helper::stuck);
    rig.store->setStatus("Everything open \u2013 next schedule Mon 9:00 AM");

    for (const char* look : {"light", "dark"}) {
        QApplication::setPalette(
            std::string(look) == "dark" ? ui::appearancePalette(ui::Appearance::dark) : light);
        rig.open(Tab::schedules);
        QImage image = shown(*rig.window);
        EXPECT_EQ(image.size(), QSize(640, 600) * rig.window->devicePixelRatio()) << look;
        EXPECT_GT(contentOf(image).second, 50u) << look;
        // A chip that is on is filled with the text colour; one that is off is not.
        ui::ScheduleRow& row = *rig.schedules().row(0);
        const QColor text = QApplication::palette().color(QPalette::WindowText);
        const QColor background = QApplication::palette().color(QPalette::Window);
        EXPECT_EQ(middleOf(image, *rig.window, row.chip(2), {0, 8}), text) << look;
        EXPECT_EQ(middleOf(image, *rig.window, row.chip(1), {0, 8}), background) << look;
        EXPECT_TRUE(image.save(screenshots + "/settings-schedules-" + look + ".png"));

        ui::WelcomeWindow welcome([] {});
        welcome.present();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&welcome));
        image = shown(welcome);
        EXPECT_GT(contentOf(image).second, 20u) << look;
        EXPECT_TRUE(image.save(screenshots + "/welcome-" + look + ".png"));
    }
    QApplication::setPalette(light);
}

}  // namespace
}  // namespace tarrow::test
