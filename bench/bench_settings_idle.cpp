// The idle app with and without the settings window made (and closed again): the tick
// timer running on the real controller, 200 sites and 20 suggestions. Prints, over the
// given seconds, the timer events the event loop delivered, the main thread's wake-ups
// (voluntary context switches) and the resident memory at the end.
//   bench_settings_idle with|without [seconds]

#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "app/ui/settings.h"
#include "app/ui/settings_window.h"
#include "settings_scene.h"

using namespace tarrow;

namespace {

// A value from /proc/self/status ("VmRSS", "voluntary_ctxt_switches").
long statusValue(const std::string& name) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(name + ":", 0) == 0) return std::stol(line.substr(name.size() + 1));
    return -1;
}

// Timer events by the class of the object that received them.
class TimerCount : public QObject {
  public:
    long timers = 0;
    std::map<std::string, long> byClass;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            ++timers;
            ++byClass[watched->metaObject()->className()];
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const bool withWindow = argc > 1 && std::string(argv[1]) == "with";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    bench::chooseOffscreenWithoutDisplay();
    QApplication application(argc, argv);
    bench::Scene s;
    s.store->changed = [&s] { s.tarrow->tick(); };

    QTimer ticker;  // as the app's: every five seconds, coarse
    ticker.setTimerType(Qt::CoarseTimer);
    ticker.setInterval(5000);
    QObject::connect(&ticker, &QTimer::timeout, [&s] { s.tarrow->tick(); });
    ticker.start();

    std::unique_ptr<ui::Settings> settings;
    if (withWindow) {
        settings = std::make_unique<ui::Settings>(*s.tarrow, app::MenuActions{});
        settings->show(Tab::sites);
        QApplication::processEvents();
        settings->window().close();
    }
    // Settle, then measure.
    QTimer::singleShot(3000, [&] {
        auto* count = new TimerCount;
        application.installEventFilter(count);
        const long switchesBefore = statusValue("voluntary_ctxt_switches");
        QTimer::singleShot(seconds * 1000, [&, count, switchesBefore] {
            const long switches = statusValue("voluntary_ctxt_switches") - switchesBefore;
            std::printf("%s window: %ld timer events, %ld wake-ups in %d s, RSS %ld kB (",
                        withWindow ? "with" : "without", count->timers, switches, seconds,
                        statusValue("VmRSS"));
            for (const auto& [name, n] : count->byClass) std::printf(" %s %ld", name.c_str(), n);
            std::printf(" )\n");
            application.quit();
        });
    });
    return application.exec();
}
