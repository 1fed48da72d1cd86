#include "app/ui/about_box.h"

#include <QApplication>
#include <QMessageBox>

#include "app/controller/menu_commands.h"

namespace tarrow::ui {

void showAbout() {
    const QString url =
        QString::fromUtf8(app::siteURL.data(), static_cast<int>(app::siteURL.size()));
    const QString credits =
        QStringLiteral(
            "<p align=center style='font-size:11pt'><b>%1 %2</b></p>"
            "<p align=center style='font-size:11pt'>Made by Brightloom.<br>"
            "<a href='%3'>%3</a></p>"
            "<p align=center style='font-size:11pt'>Blocks sites through this "
            "computer\u2019s hosts file, in every browser at once. No account, no "
            "cloud, nothing about you leaves this computer.</p>")
            .arg(QApplication::applicationName(), QApplication::applicationVersion(), url);
    QMessageBox::about(nullptr, QStringLiteral("About ") + QApplication::applicationName(),
                       credits);
}

}  // namespace tarrow::ui
