// The settings window and the card really appear on an X server (a private Xvfb; skipped
// without one): the window drawn whole and not blank in a light and a dark palette, the
// card on every desktop with its corners cut. The pictures land in screenshots/.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <cstring>

#include "app/ui/appearance.h"
#include "app/ui/notice_panel.h"
#include "app/ui/notice_view.h"
#include "app/ui/settings_window.h"
#include "app/ui/store_signals.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xvfb.h"

// Qt's X11 platform asks the session bus for its theme; libdbus keeps a buffer of that
// failed attempt until exit, and fontconfig its caches: not this program's leaks.
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
    char name_[8] = "x11";
    char* argv_[2] = {name_, nullptr};
    QApplication* application_ = nullptr;
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new X11Environment);

TEST(OnX11, TheSettingsWindowIsDrawnWholeInLightAndDark) {
    if (!QApplication::instance()) GTEST_SKIP() << "no Xvfb";
    TempFolder folder;
    Store store(folder.path);
    Config config;
    config.sites = {Site::named("youtube.com"), Site::named("bild.de")};
    store.setConfig(config);
    store.setHelper(Helper::missing);
    ui::StoreSignals observed(store);
    Calendar calendar("Europe/Berlin", "en_US");
    ui::SettingsHooks hooks;
    hooks.calendar = &calendar;
    ui::SettingsWindow window(observed, std::move(hooks));
    window.showTab(Tab::sites);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (const char* look : {"light", "dark"}) {
        QApplication::setPalette(ui::appearancePalette(
            std::string(look) == "dark" ? ui::Appearance::dark : ui::Appearance::light));
        for (int i = 0; i < 20; ++i) QTest::qWait(20);  // every queued paint to the server
        const QImage image = window.screen()->grabWindow(window.winId()).toImage();
        EXPECT_EQ(image.size(), QSize(640, 600) * window.devicePixelRatio()) << look;
        std::map<QRgb, size_t> counts;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
        size_t most = 0;
        for (const auto& [colour, n] : counts) most = std::max(most, n);
        EXPECT_LT(double(most), 0.95 * image.width() * image.height()) << look;
        EXPECT_GT(counts.size(), 50u) << look;  // text, icons and controls, smoothed
        image.save(QStringLiteral(TARROW_SCREENSHOT_DIR) + "/settings-sites-" + look + ".png");
    }
    QApplication::setPalette(ui::appearancePalette(ui::Appearance::light));
}

TEST(OnX11, TheCardIsOnEveryDesktopWithItsCornersCut) {
    if (!QApplication::instance()) GTEST_SKIP() << "no Xvfb";
    ui::NoticePanel card;
    card.show("YouTube", "Blocked until you say okay.");
    QApplication::processEvents();
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const char* name = "_NET_WM_DESKTOP";
    auto* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(strlen(name)), name), nullptr);
    ASSERT_TRUE(atom);
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, xcb_window_t(card.winId()), atom->atom, XCB_ATOM_CARDINAL, 0, 1),
        nullptr);
    uint32_t desktop = 0;
    if (reply && xcb_get_property_value_length(reply) == 4)
        memcpy(&desktop, xcb_get_property_value(reply), 4);
    free(reply);
    free(atom);
    xcb_disconnect(c);
    EXPECT_EQ(desktop, 0xFFFFFFFFu);
    // No compositing manager here: no shadow margin, the rounded corners from a mask.
    EXPECT_EQ(card.size(), card.view()->size());
    EXPECT_FALSE(card.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(card.mask().contains(QPoint(card.width() / 2, card.height() / 2)));
}

}  // namespace
}  // namespace tarrow::test
