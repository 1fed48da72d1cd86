// The Schedules tab with 50 schedules: one click on a day chip, through the tab's logic
// and the store (whose writer thread writes config.json behind it), the rows filled again
// and the window painted, must fit in one frame (16 ms); the 99th percentile of the clicks
// is reported. Also shown: the same with 500 schedules, and making
// and showing the tab. Runs on Qt's off-screen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "app/model/calendar.h"
#include "app/model/config_json.h"
#include "app/model/schedules_tab.h"
#include "app/ui/day_chip.h"
#include "app/ui/schedule_row.h"
#include "app/ui/schedules_view.h"
#include "app/ui/store_signals.h"
#include "common/file_writer.h"
#include "latency.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace tarrow;

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_schedules";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

Config schedules(int count) {
    Config config;
    for (int i = 0; i < count; ++i)
        config.schedules.push_back(
            Schedule::make(i % 4 != 3, {2, 3, 4, 5, 6}, (i * 37) % 1440, (i * 37 + 180) % 1440));
    return config;
}

// A store on a scratch config.json and the tab on top of it, shown.
struct Scene {
    test::TempFolder folder;
    Calendar calendar{"Europe/Berlin", "en_US"};
    // Saves written behind the window, as in the app.
    FileWriter writer{[](std::function<void()> done) {
        QMetaObject::invokeMethod(qApp, std::move(done), Qt::QueuedConnection);
    }};
    std::unique_ptr<Store> store;
    std::unique_ptr<ui::StoreSignals> observed;
    std::unique_ptr<ui::SchedulesView> view;

    explicit Scene(int count) {
        application();
        test::writeFile(folder / "config.json", encodeConfig(schedules(count)));
        store = std::make_unique<Store>(folder.path);
        store->writeFile = [this](FileWrite write) { writer.write(std::move(write)); };
        store->setHelper(Helper::working);
        observed = std::make_unique<ui::StoreSignals>(*store);
        view = std::make_unique<ui::SchedulesView>(*observed, calendar, ui::SchedulesHooks{});
        view->resize(640, 560);
        view->show();
        QApplication::processEvents();
    }
    ~Scene() {
        writer.finish(std::chrono::seconds{10});
        QApplication::processEvents();  // the saves' results, while the store is there
    }
};

void redrawAfterOneEdit(benchmark::State& state) {
    Scene scene(int(state.range(0)));
    ui::DayChip* chip = scene.view->row(size_t(state.range(0) / 2))->chip(1);
    bench::Latencies clicks;
    for (auto _ : state) {
        clicks.start();
        chip->click();          // saved, rows filled again
        scene.view->repaint();  // painted at once
        QApplication::processEvents();
        clicks.stop();
    }
    clicks.report(state);
}
BENCHMARK(redrawAfterOneEdit)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(300);

// The store writing config.json at once on this thread (fsync included), with no tab
// drawn: the cost the window no longer pays.
void saveAfterOneEdit(benchmark::State& state) {
    test::TempFolder folder;
    test::writeFile(folder / "config.json", encodeConfig(schedules(int(state.range(0)))));
    Store store(folder.path);
    SchedulesTab tab(store);
    const size_t index = size_t(state.range(0) / 2);
    bool on = true;
    for (auto _ : state) {
        tab.setDay({index, store.config().schedules[index].id}, 1, on);
        on = !on;
    }
}
BENCHMARK(saveAfterOneEdit)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

void makeAndShow(benchmark::State& state) {
    for (auto _ : state) {
        Scene scene(int(state.range(0)));
        scene.view->repaint();
    }
}
BENCHMARK(makeAndShow)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
