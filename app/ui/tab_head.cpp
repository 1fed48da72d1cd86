#include "app/ui/tab_head.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/ui/setup_box.h"

namespace tarrow::ui {

TabHead::TabHead(const Store& store, std::function<void()> setUp,
                 std::function<void()> removeHelper, QVBoxLayout* column, QWidget* tab)
    : store_(store),
      setup_(new SetupBox(std::move(setUp), std::move(removeHelper), tab)),
      status_(new QLabel(tab)) {
    status_->setTextFormat(Qt::PlainText);
    column->addWidget(setup_);
    column->addWidget(status_);
    follow(StoreField::helper);
    follow(StoreField::status);
}

bool TabHead::follow(StoreField field) {
    if (field == StoreField::helper) {
        setup_->showHelper(store_.helper());
        return true;
    }
    if (field != StoreField::status) return false;
    status_->setText(QString::fromStdString(store_.status()));  // the same text is a no-op
    return true;
}

}  // namespace tarrow::ui
