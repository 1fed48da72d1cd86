#include "app/ui/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tarrow::ui {

QString resourcesFolder() {
    QStringList candidates;
    const QString given = qEnvironmentVariable("TARROW_RESOURCES");
    if (!given.isEmpty()) candidates << given;
    const QString program = QCoreApplication::applicationDirPath();
    if (!program.isEmpty()) candidates << program + "/../resources" << program + "/../share/tarrow";
#ifdef TARROW_SOURCE_RESOURCES
    candidates << QStringLiteral(TARROW_SOURCE_RESOURCES);
#endif
    for (const QString& folder : candidates)
        if (QFileInfo(folder).isDir()) return QDir(folder).canonicalPath();
    return {};
}

QString resourceFile(const QString& name) {
    const QString folder = resourcesFolder();
    if (folder.isEmpty()) return {};
    const QString path = folder + "/" + name;
    return QFileInfo(path).isFile() ? path : QString();
}

}  // namespace tarrow::ui
