// The settings window at a large size: 200 sites, 20 suggestions and the 49 popular sites.
//   MakeAndShowWindow:  the window made and shown on the Sites tab, laid out and painted.
//   TickOneCheckbox:    one click on a row of "Your list": saved, redrawn and painted.
//   TickWithController: the same, with the controller's tick that every saved change runs.
//   TickPopularSite:    a popular site ticked on and off (added to and removed from the list).
//   SaveAlone:          the store's save of such a change, without any window.
// Saves are written behind the window by the app's writer thread; preload the slow_fsync
// library (bench_slow_disk.sh) to see that a slow disk does not reach the clicks. The
// ticks report the 99th percentile of their clicks' wall times.

#include <benchmark/benchmark.h>

#include <QCheckBox>

#include "app/ui/settings.h"
#include "app/ui/settings_window.h"
#include "app/ui/site_row.h"
#include "app/ui/sites_list.h"
#include "app/ui/store_signals.h"
#include "latency.h"
#include "settings_scene.h"

using namespace tarrow;

namespace {

bench::Scene& scene() {
    static bench::Scene s;
    return s;
}

// Runs everything the event loop has for the window: layout, paint, deferred deletes.
void settle() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void MakeAndShowWindow(benchmark::State& state) {
    bench::Scene& s = scene();
    for (auto _ : state) {
        auto observed = std::make_unique<ui::StoreSignals>(*s.store);
        auto window = std::make_unique<ui::SettingsWindow>(*observed, ui::SettingsHooks{});
        window->showTab(Tab::sites);
        settle();
        state.PauseTiming();
        state.counters["rows"] = double(window->sites()->list()->size());
        window.reset();
        observed.reset();
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(MakeAndShowWindow)->Unit(benchmark::kMillisecond)->MinTime(2);

void tickLoop(benchmark::State& state, bool withController, const std::string& key) {
    bench::Scene& s = scene();
    s.store->changed = withController ? std::function<void()>([&s] { s.tarrow->tick(); })
                                      : std::function<void()>();
    ui::Settings settings(*s.tarrow, {});
    settings.show(Tab::sites);
    settle();
    auto* row = dynamic_cast<ui::SiteRow*>(settings.window().sites()->list()->widget(key));
    if (!row) {
        state.SkipWithError("no such row");
        return;
    }
    const bool before = row->checkBox()->isChecked();
    bench::Latencies clicks;
    for (auto _ : state) {
        clicks.start();
        row->checkBox()->click();
        settle();
        clicks.stop();
    }
    clicks.report(state);
    // The next run starts from the same list.
    if (row->checkBox()->isChecked() != before) row->checkBox()->click();
    s.store->changed = {};
}

void TickOneCheckbox(benchmark::State& state) {
    tickLoop(state, false, "site:" + scene().store->config().sites[100].id);
}
BENCHMARK(TickOneCheckbox)->Unit(benchmark::kMillisecond)->Iterations(300);

void TickWithController(benchmark::State& state) {
    tickLoop(state, true, "site:" + scene().store->config().sites[100].id);
}
BENCHMARK(TickWithController)->Unit(benchmark::kMillisecond);

void TickPopularSite(benchmark::State& state) {
    tickLoop(state, false, "preset:" + presets()[20].domain);
}
BENCHMARK(TickPopularSite)->Unit(benchmark::kMillisecond);

// The store's part of a tick alone: the changed configuration encoded and written (with
// its fsyncs), no window.
void SaveAlone(benchmark::State& state) {
    bench::Scene& s = scene();
    for (auto _ : state) {
        Config config = s.store->config();
        config.sites[100].enabled = !config.sites[100].enabled;
        s.store->setConfig(std::move(config));
    }
}
BENCHMARK(SaveAlone)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::chooseOffscreenWithoutDisplay();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scene().writer.finish(std::chrono::seconds{10});  // while the app is there for results
    return 0;
}
