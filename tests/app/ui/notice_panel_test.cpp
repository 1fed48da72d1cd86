#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QScreen>
#include <QToolButton>
#include <filesystem>

#include "app/browser/hits_watch.h"
#include "app/ui/notice_panel.h"
#include "app/ui/notice_view.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

namespace fs = std::filesystem;

// One application object for all tests, gone before the program's own statics are.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = new QApplication(argc_, argv_);
    }
    void TearDown() override { delete application_; }

  private:
    int argc_ = 1;
    char name_[10] = "card_test";
    char* argv_[2] = {name_, nullptr};
    QApplication* application_ = nullptr;
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

void app() {
    ASSERT_TRUE(QApplication::instance());
}

// Runs the event loop until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TEST(Card, AppearsCentredWithItsTextAndNeverTakesFocus) {
    app();
    ui::NoticePanel card;
    card.show("YouTube", "Blocked until 12:00, on schedule.");
    EXPECT_TRUE(card.isVisible());
    EXPECT_EQ(card.width(), 380);
    EXPECT_GT(card.height(), 120);
    EXPECT_TRUE(card.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(card.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(card.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(card.accessibleName(),
              "Tarrow: YouTube? Tarrow. Blocked until 12:00, on schedule. To open it anyway, "
              "choose Okay, Now in the panel.");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // It slides 10 down into its place, centred on the screen.
    ASSERT_TRUE(waitUntil([&] { return card.pos() == ui::NoticePanel::placeFor(card.size()); }));
    EXPECT_LE(std::abs(card.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(card.geometry().center().y() - screen.center().y()), 1);
    EXPECT_FALSE(QApplication::focusWidget());
}

TEST(Card, HidesAfterItsTimeUnlessThePointerRestsOnIt) {
    app();
    ui::NoticePanel card;
    card.show("YouTube", "Blocked until you say okay.");
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&card, &enter);
    ASSERT_TRUE(card.hovering());
    card.schedule(std::chrono::milliseconds(50));
    QApplication::processEvents();
    waitUntil([] { return false; }, 400);
    EXPECT_TRUE(card.isVisible());  // put off by two seconds, again and again
    EXPECT_FALSE(card.dismissing());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&card, &leave);
    card.schedule(std::chrono::milliseconds(50));
    EXPECT_TRUE(waitUntil([&] { return !card.isVisible(); }));
}

TEST(Card, ShowDuringTheFadeOutBringsItBackAtOnce) {
    app();
    ui::NoticePanel card;
    card.show("YouTube", "one");
    card.dismiss();
    EXPECT_TRUE(card.dismissing());
    card.show("Bild", "two");
    EXPECT_FALSE(card.dismissing());
    EXPECT_TRUE(card.isVisible());
    EXPECT_TRUE(card.accessibleName().startsWith("Tarrow: Bild? Tarrow. two"));
    card.show(QString(300, QChar('W')), QString(400, QChar('x')));
    EXPECT_EQ(card.width(), 380) << "for any name";
    card.show("", "");
    EXPECT_EQ(card.width(), 380);
    waitUntil([] { return false; }, 500);  // the old fade would have ended by now
    EXPECT_TRUE(card.isVisible());
    // The close button dismisses it.
    card.view()->closeButton()->click();
    EXPECT_TRUE(waitUntil([&] { return !card.isVisible(); }));
}

}  // namespace
}  // namespace tarrow
