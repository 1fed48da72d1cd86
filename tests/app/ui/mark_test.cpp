#include "app/ui/mark.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "app/ui/png.h"
#include "tests/support/qt_app.h"

namespace tarrow::ui {
namespace {

class Mark : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureQtApp();
        ASSERT_TRUE(resources.isValid());
        qputenv("TARROW_RESOURCES", resources.path().toUtf8());  // no tray images there
    }
    void TearDown() override { qunsetenv("TARROW_RESOURCES"); }
    QTemporaryDir resources;
};

int inked(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

TEST_F(Mark, ResourceImagesReplaceTheDrawnMark) {
    QImage square(36, 36, QImage::Format_ARGB32);
    square.fill(Qt::blue);
    ASSERT_TRUE(png(square, resources.path() + "/menubar-blocked.png"));
    const QImage on = markImage(true, 2, Qt::black);
    EXPECT_EQ(on.size(), QSize(36, 36));
    EXPECT_EQ(inked(on, on.rect()), 36 * 36);  // the whole square, in the ink
    EXPECT_EQ(QColor::fromRgba(on.pixel(10, 10)), QColor(Qt::black));
    // The other state has no image of its own and stays drawn.
    EXPECT_EQ(markImage(false, 2), drawnMarkImage(false, 2));
    EXPECT_NE(drawnMarkImage(true, 2), drawnMarkImage(false, 2));
}

TEST_F(Mark, PngWritesNothingWhenItFails) {
    QTemporaryDir out;
    EXPECT_FALSE(png(QImage(), out.path() + "/empty.png"));
    EXPECT_FALSE(png(markImage(true), out.path() + "/missing/folder/x.png"));
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    ASSERT_TRUE(png(markImage(true, 2), out.path() + "/x.png"));
    EXPECT_EQ(QImage(out.path() + "/x.png").convertToFormat(QImage::Format_ARGB32_Premultiplied),
              markImage(true, 2));
}

}  // namespace
}  // namespace tarrow::ui
