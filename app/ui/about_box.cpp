#include "app/ui/about_box.h"

#include <QApplication>
#include <QMessageBox>

#include "app/controller/menu_commands.h"
#include "app/model/machine_texts.h"

namespace tarrow::ui {

void showAbout() {
    const QString url =
        QString::fromUtf8(app::siteURL.data(), static_cast<int>(app::siteURL.size()));
    const QString credits =
        QStringLiteral(
            "<p align=center style='font-size:11pt'><b>%1 %2</b></p>"
            "<p align=center style='font-size:11pt'>Made by Brightloom.<br>"
            "<a href='%3'>%3</a></p>"
            "<p align=center style='font-size:11pt'>%4</p>")
            .arg(QApplication::applicationName(), QApplication::applicationVersion(), url,
                 QString::fromStdString(machineText(machine::about)).toHtmlEscaped());
    QMessageBox::about(nullptr, QStringLiteral("About ") + QApplication::applicationName(),
                       credits);
}

}  // namespace tarrow::ui
