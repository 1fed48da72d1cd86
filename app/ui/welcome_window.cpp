#include "app/ui/welcome_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "app/model/general_texts.h"
#include "app/model/setup_texts.h"
#include "app/ui/text_styles.h"
#include "app/ui/ui_text.h"
#include "platform/paths.h"

namespace tarrow::ui {

namespace {

QLabel* paragraph(const std::string& line, QWidget* parent) {
    auto* label = new QLabel(QString::fromStdString(line), parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

}  // namespace

WelcomeWindow::WelcomeWindow(std::function<void()> setUp, bool tray, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      later_(new QPushButton(text(laterTitle), this)),
      setUp_(new QPushButton(text(setUpTitle), this)) {
    setWindowTitle(text(appName));
    setModal(false);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(14);
    // Fixed width; the height follows the wrapped text.
    column->setSizeConstraint(QLayout::SetFixedSize);

    QLabel* headline = paragraph(welcomeHeadline(thisDesktop, tray), this);
    QFont big = headline->font();
    big.setPointSizeF(big.pointSizeF() > 0 ? big.pointSizeF() * 1.55 : 17);
    big.setWeight(QFont::DemiBold);
    headline->setFont(big);
    column->addWidget(headline);
    column->addWidget(paragraph(welcomeBody(), this));
    auto* where = new MutedLabel(QString::fromStdString(welcomeWhere(thisDesktop, tray)), this);
    column->addWidget(where);
    for (QLabel* label : findChildren<QLabel*>()) label->setFixedWidth(440 - 2 * 24);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(later_);
    buttons->addWidget(setUp_);
    column->addLayout(buttons);

    // Return presses the default button, Escape rejects: both as a dialog does.
    later_->setAutoDefault(false);
    setUp_->setDefault(true);
    connect(later_, &QPushButton::clicked, this, &QDialog::reject);
    connect(setUp_, &QPushButton::clicked, this, [this, setUp = std::move(setUp)] {
        accept();
        if (setUp) setUp();
    });
}

void WelcomeWindow::present() {
    if (!placed_) {
        placed_ = true;
        adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                            screen->availableGeometry()));
    }
    show();
    raise();
    activateWindow();
    setUp_->setFocus(Qt::OtherFocusReason);
}

}  // namespace tarrow::ui
