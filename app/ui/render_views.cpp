#include "app/ui/render_views.h"

#include <QApplication>
#include <QVBoxLayout>
#include <memory>

#include "app/ui/notice_panel.h"
#include "app/ui/png.h"
#include "app/ui/schedules_view.h"
#include "app/ui/sites_view.h"
#include "app/ui/welcome_window.h"

namespace tarrow::ui {

namespace {

// A window of its own, filled with its palette's window colour, laid out and "shown"
// without ever reaching the screen.
std::unique_ptr<QWidget> frame(QSize size, int padding) {
    auto window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window->setAttribute(Qt::WA_DontShowOnScreen);
    window->setAutoFillBackground(true);
    window->setFixedSize(size);
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(0);
    return window;
}

void showOffScreen(QWidget& window) {
    window.show();
    settle();
}

// The tab views carry the window's 20 points of padding themselves; in a frame the
// frame pads them instead.
QWidget* tabPage(QWidget* view) {
    if (view->layout()) view->layout()->setContentsMargins(0, 0, 0, 0);
    return view;
}

}  // namespace

void settle() {
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

std::vector<DocumentedView> documentedViews(StoreSignals& observed, const Calendar& calendar,
                                            GeneralHooks general) {
    return {
        {"sites", [&observed] { return FramedView{tabPage(new SitesView(observed, {}))}; }},
        {"schedules",
         [&observed, &calendar] {
             return FramedView{tabPage(new SchedulesView(observed, calendar, {}))};
         }},
        {"general",
         [&observed, general] { return FramedView{tabPage(new GeneralView(observed, general))}; }},
        {"welcome",
         [] {
             return FramedView{new WelcomeWindow({}), true};
         }},
    };
}

std::unique_ptr<QWidget> framed(FramedView view, QSize size) {
    std::unique_ptr<QWidget> window = frame(size, viewPadding);
    // A window of its own becomes a plain part of the frame.
    view.view->setParent(window.get(), Qt::Widget);
    auto* layout = static_cast<QVBoxLayout*>(window->layout());
    if (view.centred) {
        layout->addWidget(view.view, 0, Qt::AlignCenter);
    } else {
        layout->addWidget(view.view);
        // A view taller than the frame runs past its bottom edge and is cut there, as a
        // fixed frame cuts it, rather than squeezed until its boxes overlap.
        const int width = size.width() - 2 * viewPadding;
        const int natural = view.view->hasHeightForWidth() ? view.view->heightForWidth(width)
                                                           : view.view->sizeHint().height();
        view.view->setMinimumHeight(natural);
    }
    showOffScreen(*window);
    return window;
}

bool renderView(FramedView view, QSize size, const QString& path) {
    if (!view.view) return false;
    return png(framed(view, size).get(), path);
}

bool renderCard(const QString& site, const QString& line, const QString& tries,
                const QString& path) {
    auto card = std::make_unique<NoticePanel>();
    const QSize fitting = card->setContent(site, line, tries);
    const QSize size = fitting + QSize(2 * cardPadding, 2 * cardPadding);
    std::unique_ptr<QWidget> window = frame(size, cardPadding);
    QPalette backdrop = window->palette();
    backdrop.setColor(QPalette::Window, cardBackdrop);
    window->setPalette(backdrop);
    card->setParent(window.get(), Qt::Widget);
    card->setFixedSize(fitting);
    window->layout()->addWidget(card.release());
    showOffScreen(*window);
    return png(window.get(), path);
}

}  // namespace tarrow::ui
