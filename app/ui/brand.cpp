#include "app/ui/brand.h"

#include <QFontDatabase>

#include "app/ui/resources.h"

namespace tarrow::ui {

namespace {

const QString family = QStringLiteral("Apfel Grotezk");
const QString boldStyle = QStringLiteral("Fett");

std::optional<QString>& name() {
    static std::optional<QString> value;
    return value;
}

}  // namespace

void registerBrandFont(const QString& folder) {
    if (name() || folder.isEmpty()) return;
    bool registered = false;
    for (const char* file : brandFontFiles) {
        const int id = QFontDatabase::addApplicationFont(folder + "/" + file + ".ttf");
        if (id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(family))
            registered = true;
    }
    if (registered && QFontDatabase::styles(family).contains(boldStyle)) name() = family;
}

void registerBrandFont() {
    registerBrandFont(resourcesFolder());
}

const std::optional<QString>& brandFontName() {
    return name();
}

QFont brandFont(qreal size) {
    QFont font = name() ? QFont(*name()) : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(size);
    font.setBold(true);
    return font;
}

}  // namespace tarrow::ui
