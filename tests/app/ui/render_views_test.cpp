// The documentation views as "--render" draws them, checked on their pixels: every text
// line stands out from its background by at least 4.5:1 in light and in dark, and the
// two appearances differ in background and in text.

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
#include "tests/support/qt_app.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {
namespace {

using ui::Appearance;

double luminance(QRgb colour) {
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) +
           0.0722 * channel(qBlue(colour));
}

// The contrast ratio of the guidelines for accessible text: 1 (none) to 21.
double contrast(QRgb a, QRgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Measured {
    QRgb background = 0;  // the most common colour of the area
    QRgb ink = 0;         // the text's own colour: the one furthest from the background
    double ratio = 1;
};

// Glyph edges are smoothed towards the background; the ink is the colour of the stems,
// so the most distant colour counts, once at least three pixels have it or beyond.
Measured measure(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y) | 0xFF000000];
    Measured m;
    int most = 0;
    for (const auto& [colour, n] : counts)
        if (n > most) most = n, m.background = colour;
    std::vector<std::pair<double, int>> byContrast;
    for (const auto& [colour, n] : counts)
        byContrast.push_back({contrast(colour, m.background), n});
    std::sort(byContrast.rbegin(), byContrast.rend());
    int seen = 0;
    for (const auto& [ratio, n] : byContrast) {
        seen += n;
        if (seen >= 3) {
            m.ratio = ratio;
            break;
        }
    }
    for (const auto& [colour, n] : counts)
        if (contrast(colour, m.background) == m.ratio) m.ink = colour;
    return m;
}

struct Line {
    QString text;
    Measured measured;
};

// Every label with text that shows in the frame, measured where it shows.
std::vector<Line> textLines(QWidget& frame, const QImage& image) {
    std::vector<Line> lines;
    for (QLabel* label : frame.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(&frame) || !label->isEnabled()) continue;
        const QRect shown = label->visibleRegion().boundingRect();
        const QRect area =
            QRect(label->mapTo(&frame, shown.topLeft()), shown.size()).intersected(image.rect());
        if (area.height() < label->fontMetrics().height()) continue;  // cut off by scrolling
        lines.push_back({label->text(), measure(image, area)});
    }
    return lines;
}

class RenderedViews : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureQtApp();
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        Config config = Config::initial();
        config.schedules = {Schedule::make(false, {2, 3, 4, 5, 6}, 9 * 60, 12 * 60)};
        test::writeFile(folder / "config.json", encodeConfig(config));
        store = std::make_unique<Store>(folder.path);
        app::prepareForRender(*store, {false, false, true}, *parseIso("2026-10-23T07:00:00Z"),
                              calendar);
        observed = std::make_unique<ui::StoreSignals>(*store);
    }
    void TearDown() override {
        QApplication::setPalette(QPalette());
        QApplication::processEvents();
    }

    test::TempFolder folder;
    Calendar calendar{"Europe/Berlin", "en_US"};
    std::unique_ptr<Store> store;
    std::unique_ptr<ui::StoreSignals> observed;
};

TEST_F(RenderedViews, EveryTextLineIsReadableInLightAndDark) {
    for (const ui::DocumentedView& view : ui::documentedViews(*observed, calendar, {})) {
        std::map<Appearance, QRgb> background, firstInk;
        for (Appearance look : {Appearance::light, Appearance::dark}) {
            const char* lookName = look == Appearance::light ? "light" : "dark";
            QApplication::setPalette(ui::appearancePalette(look));
            std::unique_ptr<QWidget> frame = ui::framed(view.make(), QSize(580, 440));
            const QImage image = frame->grab().toImage();
            ASSERT_EQ(image.size(), QSize(580, 440) * frame->devicePixelRatio());
            const std::vector<Line> lines = textLines(*frame, image);
            ASSERT_FALSE(lines.empty()) << view.name << " " << lookName;
            for (const Line& line : lines) {
                EXPECT_GE(line.measured.ratio, 4.5)
                    << view.name << " " << lookName << ": " << line.text.toStdString();
            }
            background[look] = measure(image, image.rect()).background;
            firstInk[look] = lines.front().measured.ink;
        }
        EXPECT_NE(background[Appearance::light], background[Appearance::dark]) << view.name;
        EXPECT_NE(firstInk[Appearance::light], firstInk[Appearance::dark]) << view.name;
        // Light is dark text on a light ground, dark the other way round.
        EXPECT_GT(luminance(background[Appearance::light]), luminance(firstInk[Appearance::light]));
        EXPECT_LT(luminance(background[Appearance::dark]), luminance(firstInk[Appearance::dark]));
    }
}

TEST_F(RenderedViews, TheCardsLinesStandOutFromIt) {
    const QString plainPath = QString::fromStdString(folder / "card-plain.png");
    const QString path = QString::fromStdString(folder / "card.png");
    ASSERT_TRUE(ui::renderCard("YouTube", "Blocked until 12:00, on schedule.", "", plainPath));
    ASSERT_TRUE(
        ui::renderCard("YouTube", "Blocked until 12:00, on schedule.", "3rd try today", path));
    const QImage plain(plainPath), image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 380 + 2 * ui::cardPadding);
    // The try line is drawn below the texts: the card grows by it.
    EXPECT_GT(image.height(), plain.height());
    // The corners are the backdrop; inside, the card's own dark ground with light text.
    EXPECT_EQ(QColor(image.pixel(1, 1)), ui::cardBackdrop);
    const Measured inside = measure(image, image.rect().adjusted(40, 40, -40, -40));
    EXPECT_GE(inside.ratio, 7.0);
}

}  // namespace
}  // namespace tarrow::test
