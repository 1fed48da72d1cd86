#include "app/ui/admin_prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/paths.h"

namespace tarrow::ui {

bool confirmAdmin(const std::string& prompt) {
    QMessageBox box;
    box.setWindowTitle(QString::fromUtf8(appName.data(), static_cast<int>(appName.size())));
    box.setIcon(QMessageBox::Information);
    box.setText(QString::fromStdString(prompt));
    QPushButton* go = box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(go);
    box.raise();
    box.activateWindow();
    box.exec();
    return box.clickedButton() == go;
}

}  // namespace tarrow::ui
