#include "app/ui/brand.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>

#include "tests/support/qt_app.h"

namespace tarrow::ui {
namespace {

// Each case runs in its own process under ctest, so registration starts afresh.
TEST(Brand, WithoutTheFontFilesTheBoldSystemFont) {
    test::ensureQtApp();
    QTemporaryDir empty;
    registerBrandFont(empty.path());
    EXPECT_FALSE(brandFontName().has_value());
    const QFont font = brandFont(28);
    EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.pointSizeF(), 28);
}

TEST(Brand, TheShippedFontFiles) {
    test::ensureQtApp();
    registerBrandFont(QStringLiteral(TARROW_SOURCE_DIR "/resources"));
    ASSERT_TRUE(brandFontName().has_value());
    EXPECT_EQ(*brandFontName(), "Apfel Grotezk");
    const QFont font = brandFont(28);
    const QFontInfo real(font);
    EXPECT_EQ(real.family(), "Apfel Grotezk");
    EXPECT_EQ(real.styleName(), "Fett");
    EXPECT_EQ(font.pointSizeF(), 28);
}

}  // namespace
}  // namespace tarrow::ui
