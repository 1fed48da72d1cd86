#include "app/ui/icons_mode.h"

#include <QApplication>
#include <cstdio>

#include "app/ui/brand.h"
#include "app/ui/mark.h"

namespace tarrow::ui {

int writeIcons(int argc, char** argv, const std::string& folder) {
    QApplication application(argc, argv);
    registerBrandFont();
    const QStringList written = writeMarkImages(QString::fromStdString(folder));
    for (const QString& path : written) std::printf("%s\n", qPrintable(path));
    return written.size() == 4 ? 0 : 1;
}

}  // namespace tarrow::ui
