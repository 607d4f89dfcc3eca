// How long the list's rebuilds take with n terminal windows of which every
// second one is selected, at n = 1000 and n = 10 000 side by side, so that
// growth with n shows: applyFilter (rows, pruning, marks, the update),
// markRows alone, and a refresh (discovery among twice as many windows).
// The fake desktop stands in for the window system, so the numbers are
// those of Tilewick's own logic.
#include "app/app_state.h"
#include "platform/fake/fake_desktop.h"
#include "registry/discovery.h"
#include "registry/selection.h"

#include <benchmark/benchmark.h>

#include <string>

// The front end's dialogs are not part of this program.
void runPasteConfirmDialog() {}
void runSettingsDialog() {}

namespace {

std::u16string title(int i) {
    std::u16string t = (i % 2 ? u"web-" : u"db-");
    for (char c : std::to_string(i))
        t += static_cast<char16_t>(c);
    return t + u" - PuTTY";
}

// A fresh desktop with the controls, n terminals and as many other windows,
// every second row selected.
void setUpDesktop(int n) {
    fake::reset();
    resetApp();
    AppState& a = app();
    auto& d = fake::desktop();
    a.mainWindow = d.add(u"TILEWICK", u"Tilewick");
    Controls& c = a.controls;
    for (auto* control :
         {&c.commandEdit, &c.filterEdit, &c.windowList, &c.displayCombo, &c.areaCombo,
          &c.columnsEdit, &c.rowsEdit, &c.arrangeButton, &c.hideOthersButton, &c.countLabel})
        *control = d.add(u"CONTROL", u"", false);
    d[c.areaCombo].rows = {u"0", u"1", u"2", u"3", u"4"};
    d[c.areaCombo].comboSelection = 0;
    for (int i = 0; i < n; ++i) {
        d.add(u"PuTTY", title(i));
        d.add(u"Notepad", title(i));
    }
    discoverWindows();
    for (int k = 0; k < n; k += 2)
        a.selectedWindows.push_back(a.allWindows[k]);
    markRows(a.allWindows);
}

void setFilter(const char16_t* text) {
    fake::desktop()[app().controls.filterEdit].text = text;
}

// A filter that every title matches: rows and marks are rebuilt, nothing is pruned.
void BM_ApplyFilterAllMatch(benchmark::State& state) {
    setUpDesktop(static_cast<int>(state.range(0)));
    setFilter(u"putty");
    for (auto _ : state) {
        applyFilter();
        fake::desktop().calls.clear();
    }
    state.counters["rows"] = static_cast<double>(app().filteredWindows.size());
    state.counters["selected"] = static_cast<double>(app().selectedWindows.size());
}
BENCHMARK(BM_ApplyFilterAllMatch)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// An empty filter: every title of allWindows is listed again and marked.
void BM_ApplyFilterEmpty(benchmark::State& state) {
    setUpDesktop(static_cast<int>(state.range(0)));
    setFilter(u"");
    for (auto _ : state) {
        applyFilter();
        fake::desktop().calls.clear();
    }
}
BENCHMARK(BM_ApplyFilterEmpty)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A filter that keeps half of the titles; the selection is restored after
// each rebuild so every iteration prunes 500 records against 500.
void BM_ApplyFilterHalfWithPrune(benchmark::State& state) {
    setUpDesktop(static_cast<int>(state.range(0)));
    const WindowList full = app().selectedWindows;
    setFilter(u"web");
    for (auto _ : state) {
        state.PauseTiming();
        app().selectedWindows = full;
        state.ResumeTiming();
        applyFilter();
        fake::desktop().calls.clear();
    }
}
BENCHMARK(BM_ApplyFilterHalfWithPrune)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_MarkRows(benchmark::State& state) {
    setUpDesktop(static_cast<int>(state.range(0)));
    for (auto _ : state)
        markRows(app().allWindows);
}
BENCHMARK(BM_MarkRows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// F5: the filter emptied, discovery among 2n windows, pruning and marks.
void BM_Refresh(benchmark::State& state) {
    setUpDesktop(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        refreshWindows();
        fake::desktop().calls.clear();
    }
}
BENCHMARK(BM_Refresh)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
