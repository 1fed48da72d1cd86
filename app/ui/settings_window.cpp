#include "app/ui/settings_window.h"

#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/settings_icons.h"
#include "app/ui/store_signals.h"
#include "app/ui/text_styles.h"
#include "platform/paths.h"

namespace tarrow::ui {

namespace {

constexpr Tab tabOrder[] = {Tab::sites, Tab::schedules, Tab::general};

}  // namespace

QString tabLabel(Tab tab) {
    switch (tab) {
        case Tab::sites:
            return QStringLiteral("Sites");
        case Tab::schedules:
            return QStringLiteral("Schedules");
        case Tab::general:
            return QStringLiteral("General");
    }
    return {};
}

SettingsWindow::SettingsWindow(StoreSignals& observed, SettingsHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      store_(observed.store()),
      hooks_(std::move(hooks)),
      ownCalendar_(hooks_.calendar ? nullptr : std::make_unique<Calendar>(Calendar::current())),
      tabs_(new QTabWidget(this)),
      menuButton_(new QToolButton(tabs_)),
      sites_(new SitesView(observed, hooks_.sites)),
      schedules_(new SchedulesView(observed, hooks_.calendar ? *hooks_.calendar : *ownCalendar_,
                                   hooks_.schedules)),
      general_(new GeneralView(observed, hooks_.general)) {
    // Titled and closable; neither resizable nor minimisable.
    setFixedSize(settingsSize);
    setWindowTitle(tabLabel(Tab::sites));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_->setDocumentMode(true);
    tabs_->setIconSize(QSize(20, 20));
    layout->addWidget(tabs_);

    for (Tab tab : tabOrder) {
        QWidget* pages[] = {sites_, schedules_, general_};
        QWidget* page = pages[int(tab)];
        const int index = tabs_->addTab(page, tabLabel(tab));
        tabs_->setTabToolTip(index, tabLabel(tab));
        page->setAccessibleName(tabLabel(tab));
    }
    const QString menuName =
        QString::fromUtf8(appName.data(), qsizetype(appName.size())) + QStringLiteral(" Menu");
    menuButton_->setAccessibleName(menuName);
    menuButton_->setToolTip(menuName);
    menuButton_->setAutoRaise(true);
    menuButton_->setPopupMode(QToolButton::InstantPopup);
    // The three bars say "menu" without the style's arrow.
    menuButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator{image:none}"));
    menuButton_->setIconSize(QSize(20, 20));
    tabs_->setCornerWidget(menuButton_, Qt::TopRightCorner);
    menuButton_->hide();
    drawIcons();
    connect(tabs_, &QTabWidget::currentChanged, this, &SettingsWindow::selected);

    auto* close = new QShortcut(QKeySequence::Close, this);  // Ctrl+W
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto* settings = new QShortcut(QKeySequence(QStringLiteral("Ctrl+,")), this);
    connect(settings, &QShortcut::activated, this, [this] {
        if (hooks_.openSettings) hooks_.openSettings();
    });
}

void SettingsWindow::drawIcons() {
    for (int i = 0; i < tabs_->count(); ++i) tabs_->setTabIcon(i, tabIcon(tabOrder[i]));
    menuButton_->setIcon(menuIcon());
}

void SettingsWindow::offerMenu(QMenu* menu) {
    menuButton_->setMenu(menu);
    menuButton_->setVisible(menu != nullptr);
}

// Drawn icons take the palette's text colour: a new palette (light or dark) redraws them.
void SettingsWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (paletteChanged(event)) drawIcons();
}

void SettingsWindow::selected(int index) {
    const bool known = index >= 0 && index < int(std::size(tabOrder));
    setWindowTitle(known ? tabLabel(tabOrder[index])
                         : QString::fromUtf8(appName.data(), qsizetype(appName.size())));
    if (known) store_.setTab(tabOrder[index]);
}

void SettingsWindow::showTab(Tab tab) {
    const int index = int(tab);
    if (tabs_->currentIndex() != index) tabs_->setCurrentIndex(index);
    if (!placed_) {
        placed_ = true;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                            screen->availableGeometry()));
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

}  // namespace tarrow::ui
