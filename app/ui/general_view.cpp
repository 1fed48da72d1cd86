#include "app/ui/general_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QThreadPool>
#include <QVBoxLayout>

#include "app/model/browser_line.h"
#include "app/model/general_texts.h"
#include "app/ui/setup_box.h"
#include "app/ui/store_signals.h"
#include "app/ui/text_styles.h"
#include "app/ui/ui_text.h"

namespace tarrow::ui {

namespace {

QString checkBoxText(const std::string& s) {
    return QString::fromStdString(s).replace('&', QStringLiteral("&&"));
}

QLabel* explanation(const std::string& line, QWidget* parent) {
    auto* label = new MutedLabel(QString::fromStdString(line), parent);
    label->setFont(calloutFont(label->font()));
    return label;
}

// A switch with its explanation under it, 6 points apart.
QVBoxLayout* section(QWidget* toggle, QWidget* under) {
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    column->addWidget(toggle);
    column->addWidget(under);
    return column;
}

QPushButton* smallButton(std::string_view title, QWidget* parent) {
    auto* button = new QPushButton(text(title), parent);
    button->setFont(calloutFont(button->font()));
    return button;
}

void call(const std::function<void()>& action) {
    if (action) action();
}

}  // namespace

GeneralView::GeneralView(StoreSignals& observed, GeneralHooks hooks, QWidget* parent)
    : QWidget(parent), store_(observed.store()), hooks_(std::move(hooks)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);

    setup_ = new SetupBox(hooks_.setUp, hooks_.removeHelper, this);
    setup_->keepWhileWorking();
    column->addWidget(setup_);

    login_ = new QCheckBox(checkBoxText(loginTitle()), this);
    column->addWidget(login_);
    connect(login_, &QCheckBox::clicked, this, &GeneralView::loginSwitched);
    if (hooks_.agent) {
        login_->setEnabled(false);
        login_->setToolTip(QString::fromStdString(startedByTip(*hooks_.agent)));
        login_->setAccessibleDescription(login_->toolTip());
    } else if (!hooks_.login.available()) {
        login_->setEnabled(false);
    }

    notice_ = new QCheckBox(checkBoxText(noticeTitle()), this);
    auto* page = section(notice_, explanation(noticeExplanation(), this));
    browserRow_ = new QWidget(this);
    auto* browsers = new QHBoxLayout(browserRow_);
    browsers->setContentsMargins(0, 0, 0, 0);
    browsers->setSpacing(10);
    browserText_ = new QLabel(browserRow_);
    browserText_->setTextFormat(Qt::PlainText);
    browserText_->setWordWrap(true);
    browserText_->setFont(calloutFont(browserText_->font()));
    consent_ = smallButton({}, browserRow_);
    browsers->addWidget(browserText_, 1, Qt::AlignTop);
    browsers->addWidget(consent_, 0, Qt::AlignTop);
    page->addWidget(browserRow_);
    column->addLayout(page);
    connect(notice_, &QCheckBox::clicked, this, [this](bool on) {
        Config config = store_.config();
        config.notice = on;
        store_.setConfig(std::move(config));
    });
    connect(consent_, &QPushButton::clicked, this, &GeneralView::consentPressed);

    suggest_ = new QCheckBox(text(suggestTitle), this);
    column->addLayout(section(suggest_, explanation(suggestExplanation(), this)));
    connect(suggest_, &QCheckBox::clicked, this, [this](bool on) {
        Config config = store_.config();
        config.suggest = on;
        store_.setConfig(std::move(config));
    });

    wait_ = new QCheckBox(text(waitTitle), this);
    column->addLayout(section(wait_, explanation(std::string(waitExplanation), this)));
    connect(wait_, &QCheckBox::clicked, this, [this](bool on) {
        Config config = store_.config();
        config.waitToOpen = on;
        store_.setConfig(std::move(config));
    });
    // The strict lock and its end, while one holds.
    strict_ = explanation({}, this);
    column->addWidget(strict_);

    column->addWidget(explanation(privacyParagraph(), this));
    column->addStretch(1);

    auto* footer = new QHBoxLayout;
    footer->setSpacing(8);
    // The app sets its version at start; a build without one is "dev".
    const QString version = QApplication::applicationVersion();
    version_ = new MutedLabel(
        QString::fromStdString(versionLine(version.isEmpty() ? "dev" : version.toStdString())),
        this);
    version_->setWordWrap(false);
    version_->setFont(captionFont(version_->font()));
    footer->addWidget(version_);
    footer->addStretch(1);
    const std::string about = aboutTitle();
    const std::string_view titles[] = {about, websiteTitle, privacyTitle, showLogTitle};
    const std::function<void()>* actions[] = {&hooks_.about, &hooks_.openSite, &hooks_.showPrivacy,
                                              &hooks_.showLog};
    for (int i = 0; i < 4; ++i) {
        footer_[i] = smallButton(titles[i], this);
        footer->addWidget(footer_[i]);
        connect(footer_[i], &QPushButton::clicked, this, [action = actions[i]] { call(*action); });
    }
    column->addLayout(footer);

    connect(&observed, &StoreSignals::changed, this, &GeneralView::storeChanged);
    setup_->showHelper(store_.helper());
    showConfig();
    showStrict();
    showBrowsers();
    readLogin();
}

QPushButton* GeneralView::footerButton(int index) const {
    return index >= 0 && index < 4 ? footer_[index] : nullptr;
}

void GeneralView::storeChanged(StoreField field) {
    switch (field) {
        case StoreField::helper:
            setup_->showHelper(store_.helper());
            return;
        case StoreField::config:
            showConfig();
            showStrict();
            return;
        case StoreField::status:
            showStrict();
            return;
        case StoreField::browsers:
            showBrowsers();
            return;
        default:
            return;
    }
}

void GeneralView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The entry may have changed in the desktop's own settings meanwhile.
    readLogin();
}

void GeneralView::showConfig() {
    const Config& config = store_.config();
    if (notice_->isChecked() != config.notice) notice_->setChecked(config.notice);
    if (suggest_->isChecked() != config.suggest) suggest_->setChecked(config.suggest);
    if (wait_->isChecked() != config.waitToOpen) wait_->setChecked(config.waitToOpen);
}

void GeneralView::showStrict() {
    const bool holds = store_.config().strictUntil.has_value();
    strict_->setVisible(holds);
    setup_->removeButton()->setToolTip(holds ? text(removeEndsStrictTip) : QString());
    if (holds)
        strict_->setText(
            QString::fromStdString(store_.status() + "\n" + std::string(strictExplanation)));
}

// Only browsers the app may script are listed; with none the row is not there.
void GeneralView::showBrowsers() {
    const std::vector<BrowserState>& browsers = store_.browsers();
    browserRow_->setVisible(!browsers.empty());
    if (browsers.empty()) return;
    browserText_->setText(QString::fromStdString(browserLine(browsers)));
    switch (tarrow::consentButton(browsers)) {
        case ConsentButton::none:
            consent_->hide();
            break;
        case ConsentButton::allow:
            consent_->setText(text(allowTitle));
            consent_->show();
            break;
        case ConsentButton::openAutomationSettings:
            consent_->setText(text(openAutomationTitle));
            consent_->show();
            break;
    }
}

void GeneralView::consentPressed() {
    if (tarrow::consentButton(store_.browsers()) == ConsentButton::openAutomationSettings)
        call(hooks_.openAutomationSettings);
    else
        call(hooks_.askBrowsers);
}

void GeneralView::readLogin() {
    const bool on = hooks_.login.available() && hooks_.login.enabled();
    if (login_->isChecked() == on) return;
    const QSignalBlocker quiet(login_);
    login_->setChecked(on);
}

// The entry is written with fsync: on a worker thread, the switch off meanwhile so that
// two switches cannot cross. The view may be gone when it is done.
void GeneralView::loginSwitched(bool on) {
    if (!hooks_.login.available()) return;
    login_->setEnabled(false);
    QThreadPool::globalInstance()->start(
        [view = QPointer<GeneralView>(this), item = hooks_.login, on] {
            const Status done = item.set(on);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [view, on, done] {
                    if (!view) return;
                    const bool now = tarrow::loginSwitched(
                        view->hooks_.login, on, done,
                        view->hooks_.log ? view->hooks_.log : [](std::string_view) {});
                    const QSignalBlocker quiet(view->login_);
                    view->login_->setChecked(now);
                    view->login_->setEnabled(true);
                },
                Qt::QueuedConnection);
        });
}

}  // namespace tarrow::ui
