#include "app/ui/setup_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/model/setup_texts.h"
#include "app/ui/text_styles.h"
#include "app/ui/ui_text.h"

namespace tarrow::ui {

SetupBox::SetupBox(std::function<void()> setUp, std::function<void()> removeHelper, QWidget* parent)
    : QGroupBox(text(setupBoxTitle), parent),
      text_(new QLabel(this)),
      setUp_(new QPushButton(this)),
      remove_(new QPushButton(text(removeHelperTitle), this)) {
    setFont(headlineFont(font()));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(10);
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    column->addWidget(text_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(setUp_);
    buttons->addWidget(remove_);
    buttons->addStretch(1);
    column->addLayout(buttons);
    // The title alone is set in the headline font.
    for (QWidget* child : {static_cast<QWidget*>(text_), static_cast<QWidget*>(setUp_),
                           static_cast<QWidget*>(remove_)}) {
        QFont plain = child->font();
        plain.setBold(false);
        child->setFont(plain);
    }
    setUp_->setDefault(true);
    connect(setUp_, &QPushButton::clicked, this, [setUp] {
        if (setUp) setUp();
    });
    connect(remove_, &QPushButton::clicked, this, [removeHelper] {
        if (removeHelper) removeHelper();
    });
}

void SetupBox::showHelper(Helper helper) {
    if (shown_ == helper) return;
    shown_ = helper;
    setVisible(helper != Helper::working || whileWorking_);
    setUp_->setVisible(helper != Helper::working);
    text_->setText(QString::fromStdString(helperText(helper)));
    setAccessibleDescription(text_->text());
    setUp_->setText(text(helper == Helper::missing ? setUpTitle : repairTitle));
    remove_->setVisible(helper != Helper::missing);
}

void SetupBox::keepWhileWorking() {
    whileWorking_ = true;
    if (shown_) {
        const Helper helper = *shown_;
        shown_.reset();
        showHelper(helper);
    }
}

}  // namespace tarrow::ui
