// The settings window on a private X server: what the server holds after drawing is the
// window's full size and not blank, in a light and a dark palette. The pictures are kept
// in the build folder's screenshots/ for a look.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyleFactory>
#include <set>

#include "app/model/calendar.h"
#include "app/model/evaluation.h"
#include "app/model/texts.h"
#include "app/ui/appearance.h"
#include "tests/app/ui/settings_fixture.h"
#include "tests/support/xvfb.h"

// Qt's X11 platform asks the session bus for its theme and accessibility; libdbus keeps
// a buffer of that failed attempt until exit, which is not this program's leak.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}

namespace tarrow::test {
namespace {

class X11Environment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!Xvfb::available()) return;
        if (xcb_connection_t* c = xvfb_.start(350 + getpid() % 100)) xcb_disconnect(c);
        setenv("DISPLAY", xvfb_.display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        application_ = new QApplication(argc_, argv_);
        QApplication::setStyle(QStyleFactory::create("Fusion"));
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

// What the X server shows of the window.
QImage onScreen(QWidget& window) {
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

    const QString folder = QStringLiteral(TARROW_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (const char* look : {"light", "dark"}) {
        if (std::string(look) == "dark")
            QApplication::setPalette(ui::appearancePalette(ui::Appearance::dark));
        const QImage image = onScreen(*rig.window);
        EXPECT_EQ(image.size(), QSize(640, 600) * rig.window->devicePixelRatio()) << look;
        const auto [share, colours] = contentOf(image);
        EXPECT_GT(share, 0.05) << look;   // more than a plain background
        EXPECT_GT(colours, 50u) << look;  // text, icons and controls, smoothed
        EXPECT_TRUE(image.save(folder + "/settings-sites-" + look + ".png")) << look;
        // Further down: the popular sites.
        ui::SitesList* list = rig.sites().list();
        list->verticalScrollBar()->setValue(list->widget("heading:Social media")->y());
        EXPECT_TRUE(onScreen(*rig.window).save(folder + "/settings-popular-" + look + ".png"));
        list->verticalScrollBar()->setValue(0);
    }
}

}  // namespace
}  // namespace tarrow::test
