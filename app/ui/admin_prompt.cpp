#include "app/ui/admin_prompt.h"

#include <QMessageBox>

#include "platform/paths.h"

namespace tarrow::ui {

void tellNoAgent(const std::string& command) {
    QMessageBox box;
    box.setWindowTitle(QString::fromUtf8(appName.data(), static_cast<int>(appName.size())));
    box.setIcon(QMessageBox::Warning);
    box.setText(QStringLiteral("No password dialog can open"));
    QString why = QStringLiteral(
        "This desktop runs no polkit authentication agent, so Tarrow cannot ask for the "
        "administrator password.");
    why += command.empty()
               ? QStringLiteral(" Start the desktop\u2019s agent and try again.")
               : QStringLiteral(" To do the same as root, run this in a terminal:\n\n") +
                     QString::fromStdString(command);
    box.setInformativeText(why);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.setStandardButtons(QMessageBox::Ok);
    box.raise();
    box.activateWindow();
    box.exec();
}

}  // namespace tarrow::ui
