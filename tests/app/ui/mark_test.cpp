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

// Drawn, the two states differ only where the bar lies.
TEST_F(Mark, StatesDifferOnlyByTheBar) {
    for (qreal scale : {1.0, 2.0, 4.0}) {
        const QImage off = markImage(false, scale), on = markImage(true, scale);
        const int side = qRound(18 * scale);
        ASSERT_EQ(off.size(), QSize(side, side));
        ASSERT_EQ(on.size(), QSize(side, side));
        // The bar, in top-left pixels, with a pixel of antialiasing around it.
        const QRectF bar(1.6 * scale, (18 - 8.0 - 1.9) * scale, 14.8 * scale, 1.9 * scale);
        const QRect around = bar.toAlignedRect().adjusted(-1, -1, 1, 1);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (!around.contains(x, y)) {
                    ASSERT_EQ(off.pixel(x, y), on.pixel(x, y)) << x << "," << y;
                }
        EXPECT_GT(inked(on, around), inked(off, around));
        // The letter is there, whole: nothing touches the square's edges.
        EXPECT_GT(inked(off, off.rect()), side * side / 10);
        EXPECT_EQ(inked(off, QRect(0, 0, side, 1)) + inked(off, QRect(0, side - 1, side, 1)) +
                      inked(off, QRect(0, 0, 1, side)) + inked(off, QRect(side - 1, 0, 1, side)),
                  0);
    }
}

TEST_F(Mark, OneInkOnly) {
    const QImage image = markImage(true, 4, QColor(255, 0, 0));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() == 0) continue;
            ASSERT_EQ(c.green(), 0);
            ASSERT_EQ(c.blue(), 0);
        }
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
}

TEST_F(Mark, TrayIconIsAMask) {
    const QIcon icon = markIcon(true);
    EXPECT_TRUE(icon.isMask());
    EXPECT_FALSE(icon.pixmap(22, 22).isNull());
}

TEST_F(Mark, FourDocumentationImages) {
    QTemporaryDir out;
    const QString folder = out.path() + "/icons/new";
    const QStringList written = writeMarkImages(folder);
    struct Case {
        const char* file;
        QColor background, ink;
    };
    const Case cases[] = {
        {"mark-unlocked-light.png", Qt::white, Qt::black},
        {"mark-unlocked-dark.png", QColor(31, 31, 31), Qt::white},
        {"mark-locked-light.png", Qt::white, Qt::black},
        {"mark-locked-dark.png", QColor(31, 31, 31), Qt::white},
    };
    EXPECT_EQ(written.size(), 4);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 4);
    for (const Case& c : cases) {
        QImage image(folder + "/" + c.file);
        ASSERT_FALSE(image.isNull()) << c.file;
        EXPECT_EQ(image.size(), QSize(72, 72));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(QColor::fromRgba(image.pixel(0, 0)), c.background) << c.file;
        // The letter's stem, at the centre column, is full ink.
        bool found = false;
        for (int y = 0; y < 72 && !found; ++y)
            found = QColor::fromRgba(image.pixel(36, y)) == c.ink;
        EXPECT_TRUE(found) << c.file;
    }
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
