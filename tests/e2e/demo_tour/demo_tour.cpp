// The headless demo's tour: drives the running Tilewick with real input, as a
// user would, from an empty desktop: it opens the demo's six saved PuTTY
// sessions as a group, then works with them, and has the desktop saved after
// each step. scripts/demo.sh runs it in the demo's Wine desktop.
//
//   demo_tour.exe FILTER HOSTDIR...
//
// Each HOSTDIR is the home folder of one terminal's shell, named after its
// host; the shell appends each command it ran to .bash_history there, which is
// how the tour knows that the typed command has reached every host. FILTER is
// typed into the filter field; it must match some of the host names.
// Prints a line "screenshot: PATH" per step; on failure one line saying which
// step failed and why, and exits 1.

#include "bench.h"
#include "gestures.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace bench;

namespace {

// Only characters that a key of Wine's US layout here types: it has none for
// "(" and ")".
const wchar_t kCommand[] = L"date +\"$HOST: %T\"";
constexpr int kColumns = 3, kRows = 2;

struct Failure {
    std::string why;
};

void require(bool ok, const std::string& why) {
    if (!ok)
        throw Failure{why};
}

void shoot(const std::wstring& name) {
    const std::wstring path = screenshot(name);
    require(!path.empty(), "no screenshot service answered for " + narrow(name));
    std::printf("screenshot: %s\n", narrow(path).c_str());
    std::fflush(stdout);
}

std::wstring baseName(std::wstring path) {
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Replaces a small edit's text by typing, as a user would: click, clear, type.
void retype(HWND edit, const std::wstring& text) {
    click(centreOf(edit));
    tapKey(VK_END);
    for (int i = 0; i < 4; ++i)
        tapKey(VK_BACK);
    typeText(text);
    require(waitUntil([&] { return windowText(edit) == text; }),
            "the field did not take \"" + narrow(text) + "\"");
}

// Every terminal restored, no two at one top-left corner.
bool eachInACell(const std::vector<HWND>& terminals) {
    std::set<std::pair<LONG, LONG>> corners;
    for (HWND t : terminals) {
        if (placement(t).showCmd != SW_SHOWNORMAL)
            return false;
        corners.insert({windowRect(t).left, windowRect(t).top});
    }
    return corners.size() == terminals.size();
}

// Every terminal restored in a cell of its own of a kColumns × kRows grid.
bool tiled(const std::vector<HWND>& terminals) {
    std::set<LONG> lefts, tops;
    std::set<std::pair<LONG, LONG>> corners;
    for (HWND t : terminals) {
        if (placement(t).showCmd != SW_SHOWNORMAL)
            return false;
        const RECT r = windowRect(t);
        lefts.insert(r.left);
        tops.insert(r.top);
        corners.insert({r.left, r.top});
    }
    return lefts.size() == kColumns && tops.size() == kRows && corners.size() == terminals.size();
}

bool everyHostRan(const std::vector<std::wstring>& hostDirs) {
    return std::all_of(hostDirs.begin(), hostDirs.end(), [](const std::wstring& dir) {
        return readFile(dir + L"\\.bash_history").find(narrow(kCommand)) != std::string::npos;
    });
}

void tour(const std::wstring& filter, const std::vector<std::wstring>& hostDirs) {
    const size_t hosts = hostDirs.size();
    size_t matching = 0;
    for (const std::wstring& dir : hostDirs)
        matching += baseName(dir).find(filter) != std::wstring::npos;
    require(matching > 0 && matching < hosts, "the filter must match some hosts, not all");

    std::printf("tour: waiting for Tilewick on an empty desktop\n");
    std::fflush(stdout);
    Controls ui;
    std::string why = "no Tilewick window";
    require(waitUntil(
                [&] {
                    HWND main = FindWindowW(L"TILEWICK", nullptr);
                    return main && IsWindowVisible(main) && findControls(main, &ui, &why);
                },
                Millis(60000)),
            "Tilewick did not start: " + why);
    require(topWindowsOfClass(L"PuTTY").empty(), "a terminal is open before Tilewick opened any");

    // Out of the way of the grid's text: the bottom right corner of the desktop.
    gestures::activate(ui.main);
    const RECT r = windowRect(ui.main);
    const RECT desk = gestures::monitorRects().at(0);
    const POINT grip = {r.left + 60, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    const POINT to = {grip.x + (desk.right - r.right), grip.y + (desk.bottom - r.bottom)};
    drag(grip, to);
    require(waitUntil([&] { return windowRect(ui.main).right == desk.right; }),
            "Tilewick's window could not be dragged to the corner");

    std::printf("tour: open the group of saved sessions (Alt+1)\n");
    gestures::activate(ui.main);
    gestures::alt('1');
    const std::wstring count = L"選択ウィンドウ数：  " + std::to_wstring(hosts) + L"  ";
    std::vector<HWND> terminals;
    require(waitUntil(
                [&] {
                    terminals = topWindowsOfClass(L"PuTTY");
                    return terminals.size() == hosts && listRows(ui.windowList).size() == hosts &&
                           windowText(ui.countLabel) == count && eachInACell(terminals) &&
                           GetForegroundWindow() == ui.main;
                },
                Millis(60000)),
            "Alt+1 did not open, select and tile the six sessions, or Tilewick did not take "
            "the foreground back");
    shoot(L"demo-1-opened");

    std::printf("tour: arrange %d x %d\n", kColumns, kRows);
    retype(ui.columnsEdit, std::to_wstring(kColumns));
    retype(ui.rowsEdit, std::to_wstring(kRows));
    gestures::alt('L');
    require(waitUntil([&] { return tiled(terminals) && GetForegroundWindow() == ui.main; }),
            "Alt+L did not tile the terminals, or Tilewick did not take the foreground back");
    shoot(L"demo-2-arranged");

    std::printf("tour: type %s\n", narrow(kCommand).c_str());
    gestures::alt('I');
    require(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }),
            "Alt+I did not put the focus in the command field");
    require(gestures::typeWithKeys(kCommand, &why), why);
    tapKey(VK_RETURN);
    require(waitUntil([&] { return everyHostRan(hostDirs); }, Millis(30000)),
            "the typed command did not run on every host");
    // The shells have answered; let PuTTY paint what they wrote.
    Sleep(1500);
    shoot(L"demo-3-typed");

    std::printf("tour: filter \"%s\"\n", narrow(filter).c_str());
    gestures::alt('F');
    require(waitUntil([&] { return focusOf(ui.main) == ui.filterEdit; }),
            "Alt+F did not put the focus in the filter field");
    typeText(filter);
    require(waitUntil([&] { return listRows(ui.windowList).size() == matching; }),
            "the list did not shrink to the matching terminals");
    shoot(L"demo-4-filtered");

    std::printf("tour: compact mode\n");
    gestures::alt('E');
    require(waitUntil([&] { return !IsWindowVisible(ui.windowList); }),
            "Alt+E did not shrink Tilewick to its compact strip");
    shoot(L"demo-5-compact");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::printf("usage: demo_tour FILTER HOSTDIR HOSTDIR...\n");
        return 2;
    }
    std::vector<std::wstring> hostDirs;
    for (int i = 2; i < argc; ++i)
        hostDirs.push_back(toWindowsPath(argv[i]));
    try {
        tour(argv[1], hostDirs);
    } catch (const Failure& f) {
        std::printf("demo tour failed: %s\n", f.why.c_str());
        return 1;
    }
    return 0;
}
