#include "app/ui/png.h"

#include <QSaveFile>
#include <QWidget>

namespace tarrow::ui {

bool png(const QImage& image, const QString& path) {
    if (image.isNull()) return false;
    QSaveFile file(path);  // written beside and renamed: never a half-written image
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool png(QWidget* view, const QString& path) {
    if (!view || view->size().isEmpty()) return false;
    return png(view->grab().toImage(), path);
}

}  // namespace tarrow::ui
