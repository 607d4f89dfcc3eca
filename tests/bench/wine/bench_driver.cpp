// The Wine benchmark: Tilewick against baseline programs doing the same
// window-system work on the same windows, in one run, driven by real input.
//
// Each action starts with SendInput and ends when its result can be seen from
// outside: the list's row count (a list answers LB_GETCOUNT from another
// process only once its program is back in its message loop, so the answer
// comes after the whole action and its repaint), or the farm's count of
// messages received. Prints a table of medians with min and max, the ratio
// to the baseline each action is held against, and Tilewick's peak memory.
//
//   bench_driver.exe [--reps N] [--large-plain-reps N]
//                    [--only startup,small,large,input,bands,sessions]
#include "bench.h"  // winsock2.h before windows.h
#include "farm_shared.h"
#include "gestures.h"
#include "real_putty.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using bench::Millis;

#ifndef TWK_BENCH_DIR
#define TWK_BENCH_DIR ""
#endif

namespace {

// ---- Time and samples ---------------------------------------------------------

LONGLONG now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double msBetween(LONGLONG from, LONGLONG to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to - from) * 1000.0 / static_cast<double>(f.QuadPart);
}

struct Stats {
    double median = 0, min = 0, max = 0;
    int n = 0;
};

Stats stats(std::vector<double> v) {
    Stats s;
    s.n = static_cast<int>(v.size());
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.min = v.front();
    s.max = v.back();
    s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    return s;
}

// samples[action][program]
std::map<std::string, std::map<std::string, std::vector<double>>> samples;
std::vector<std::string> actionOrder;
std::vector<std::string> failures;

void record(const std::string& action, const std::string& program, double ms) {
    if (std::find(actionOrder.begin(), actionOrder.end(), action) == actionOrder.end())
        actionOrder.push_back(action);
    samples[action][program].push_back(ms);
}

void fail(const std::string& what) {
    failures.push_back(what);
    std::fprintf(stderr, "bench: %s\n", what.c_str());
}

// ---- Programs -------------------------------------------------------------------

std::wstring besideDriver(const wchar_t* exe) {
    return bench::toWindowsPath(bench::widen(TWK_BENCH_DIR)) + L"\\" + exe;
}

struct Program {
    std::string name;
    std::wstring exe;
    std::wstring arg;
    const wchar_t* windowClass;
};

Program tilewick() {
    return {"Tilewick", bench::tilewickExe(), L"", L"TILEWICK"};
}
// The baseline's window made as Tilewick makes its own, every control and
// picture included: start-up is held against it.
Program sameWindow() {
    return {"same window", besideDriver(L"list_baseline.exe"), L"window", L"TWKBASELINE"};
}
Program plain() {
    return {"plain", besideDriver(L"list_baseline.exe"), L"plain", L"TWKBASELINE"};
}
Program redrawOff() {
    return {"redraw off", besideDriver(L"list_baseline.exe"), L"redraw-off", L"TWKBASELINE"};
}

// bench::waitUntil polls every 20 ms; timing needs a millisecond.
bool pollUntil(const std::function<bool()>& condition, Millis limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (condition())
            return true;
        Sleep(1);
    }
    return condition();
}

DWORD_PTR ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 120000, &result))
        return static_cast<DWORD_PTR>(-1);
    return result;
}

int rowCount(HWND list) {
    return static_cast<int>(ask(list, LB_GETCOUNT));
}

// The main window of a running program and the controls the benchmark drives.
struct Running {
    std::shared_ptr<bench::Process> process;
    HWND main = nullptr, list = nullptr, filter = nullptr, command = nullptr;
};

HWND mainWindowOf(const Program& p, DWORD pid) {
    for (HWND w = FindWindowW(p.windowClass, nullptr); w;
         w = FindWindowExW(nullptr, w, p.windowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Starts the program and returns once its list shows `rows`; *elapsed is
// the time from the start of the process to that answer.
bool start(const Program& p, int rows, Running* r, double* elapsed = nullptr) {
    const LONGLONG t0 = now();
    r->process = bench::launch(p.exe, p.arg.empty() ? std::vector<std::wstring>{}
                                                    : std::vector<std::wstring>{p.arg});
    if (!r->process) {
        fail("cannot start " + bench::narrow(p.exe));
        return false;
    }
    LONGLONG t1 = 0;
    const bool up = pollUntil(
        [&] {
            if (!r->main)
                r->main = mainWindowOf(p, r->process->pid());
            if (r->main && !r->list)
                r->list = FindWindowExW(r->main, nullptr, L"ListBox", nullptr);
            if (!r->list || rowCount(r->list) != rows)
                return false;
            t1 = now();
            return true;
        },
        Millis(60000));
    if (!up) {
        fail(p.name + " did not list " + std::to_string(rows) + " rows");
        return false;
    }
    if (elapsed)
        *elapsed = msBetween(t0, t1);
    HWND first = FindWindowExW(r->main, nullptr, L"Edit", nullptr);
    r->command = first;
    r->filter = FindWindowExW(r->main, first, L"Edit", nullptr);
    return true;
}

void stop(Running& r, const Program& p) {
    r.process->terminate();
    bench::waitUntil([&] { return mainWindowOf(p, r.process->pid()) == nullptr; });
}

bool focus(const Running& r, HWND control, WORD altKey) {
    if (GetForegroundWindow() != r.main) {
        SetForegroundWindow(r.main);
        if (!bench::waitUntil([&] { return GetForegroundWindow() == r.main; }, Millis(3000)))
            gestures::activate(r.main);
    }
    gestures::alt(altKey);
    return bench::waitUntil([&] { return bench::focusOf(r.main) == control; });
}

bool selectAll(const Running& r, int rows) {
    if (!focus(r, r.command, 'I'))
        return false;
    gestures::alt('A');
    return bench::waitUntil([&] { return static_cast<int>(ask(r.list, LB_GETSELCOUNT)) == rows; });
}

// Lets the program finish what follows an action (the paints of the other
// controls) before the next one is timed.
void settle(const Running& r) {
    WaitForInputIdle(r.process->handle(), 5000);
    Sleep(100);
}

// Presses a key and waits until the list answers with `rows`; the time from
// the key to that answer.
bool timeRows(const Running& r, WORD vk, int rows, double* ms) {
    settle(r);
    const LONGLONG t0 = now();
    bench::tapKey(vk);
    LONGLONG t1 = 0;
    const bool done = pollUntil(
        [&] {
            if (rowCount(r.list) != rows)
                return false;
            t1 = now();
            return true;
        },
        Millis(300000));
    *ms = msBetween(t0, t1);
    return done;
}

// ---- The window farm --------------------------------------------------------------

struct Farm {
    std::shared_ptr<bench::Process> process;
    HANDLE mapping = nullptr;
    FarmShared* shared = nullptr;
    ~Farm() {
        if (shared)
            UnmapViewOfFile(const_cast<FarmShared*>(shared));
        if (mapping)
            CloseHandle(mapping);
        if (process)
            process->terminate();
    }
};

bool startFarm(Farm& f, int terminals, int others, int digits, bool shown = false) {
    std::vector<std::wstring> args = {std::to_wstring(terminals), std::to_wstring(others),
                                      std::to_wstring(digits)};
    if (shown)
        args.push_back(L"shown");
    f.process = bench::launch(besideDriver(L"window_farm.exe"), args);
    if (!f.process)
        return false;
    const bool mapped = bench::waitUntil(
        [&] {
            if (!f.mapping)
                f.mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, kFarmSharedName);
            if (f.mapping && !f.shared)
                f.shared = static_cast<FarmShared*>(
                    MapViewOfFile(f.mapping, FILE_MAP_READ, 0, 0, sizeof(FarmShared)));
            return f.shared && f.shared->ready;
        },
        Millis(300000));  // thousands of windows take a while to make
    if (!mapped)
        fail("the window farm did not come up");
    return mapped;
}

// Titles "host<digits> - PuTTY" that contain a 7.
int matchingSeven(int terminals, int digits) {
    int n = 0;
    for (int i = 0; i < terminals; ++i) {
        wchar_t t[32];
        swprintf(t, 32, L"%0*d", digits, i);
        n += wcschr(t, L'7') != nullptr;
    }
    return n;
}

// ---- Scenarios ---------------------------------------------------------------------

void startupScenario(int reps) {
    const int terminals = 50;
    Farm farm;
    if (!startFarm(farm, terminals, 50, 2))
        return;
    const Program programs[] = {tilewick(), sameWindow(), plain()};
    // One untimed start of each first: the system's files are then cached for all.
    for (int rep = -1; rep < reps; ++rep) {
        for (const Program& p : programs) {
            Running r;
            double ms = 0;
            if (!start(p, terminals, &r, &ms))
                return;
            if (rep >= 0)
                record("start-up to 50 rows", p.name, ms);
            stop(r, p);
            Sleep(500);  // the ended process's windows and files are let go first
        }
    }
}

struct Memory {
    SIZE_T peakWorkingSet = 0, peakPagefile = 0;
};
std::map<std::string, Memory> memory;

// What all the bands cost against none, in the same run: medians.
struct BandCost {
    std::string scenario;
    double residentMiB;
    double cpuPoints;
};
std::vector<BandCost> bandCosts;

// One program of a scenario. All of them run side by side and take their
// turns rep by rep, so that a change in the machine's load falls on each alike.
struct Contender {
    Program program;
    int reps;
    Running run;
    bool ok = false;
};

bool startContenders(std::vector<Contender>& contenders, int terminals) {
    for (Contender& c : contenders) {
        c.ok = start(c.program, terminals, &c.run);
        if (!c.ok)
            return false;
        c.ok = selectAll(c.run, terminals);
        if (!c.ok)
            fail(c.program.name + ": select all did not take");
    }
    return true;
}

void stopContenders(std::vector<Contender>& contenders, const std::string& scenario) {
    for (Contender& c : contenders) {
        if (!c.run.process)
            continue;
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(c.run.process->handle(), &counters, sizeof counters))
            memory[c.program.name + " " + scenario] = {counters.PeakWorkingSetSize,
                                                       counters.PeakPagefileUsage};
        stop(c.run, c.program);
    }
}

struct ListRound {
    int rows, narrowed;
    std::string narrowAction, widenAction, refreshAction;
};

// One repetition: "7" into the filter, Backspace, "7" again, F5.
bool listRound(const Contender& c, const ListRound& round) {
    const Running& r = c.run;
    const std::string& name = c.program.name;
    double ms = 0;
    if (!focus(r, r.filter, 'F')) {
        fail(name + ": the filter did not take the focus");
        return false;
    }
    if (!timeRows(r, '7', round.narrowed, &ms)) {
        fail(name + ": " + round.narrowAction + " did not end");
        return false;
    }
    record(round.narrowAction, name, ms);
    if (!timeRows(r, VK_BACK, round.rows, &ms)) {
        fail(name + ": " + round.widenAction + " did not end");
        return false;
    }
    record(round.widenAction, name, ms);
    if (!timeRows(r, '7', round.narrowed, &ms) || !timeRows(r, VK_F5, round.rows, &ms)) {
        fail(name + ": " + round.refreshAction + " did not end");
        return false;
    }
    record(round.refreshAction, name, ms);
    return true;
}

void listScenario(int terminals, int others, int digits, int reps, int plainReps) {
    const std::string scenario =
        std::to_string(terminals) + "/" + std::to_string(terminals + others);
    Farm farm;
    if (!startFarm(farm, terminals, others, digits))
        return;
    const int narrowed = matchingSeven(terminals, digits);
    const ListRound rounds = {terminals, narrowed,
                              "filter key to " + std::to_string(narrowed) + " rows " + scenario,
                              "Backspace to all rows " + scenario, "F5 " + scenario};
    std::vector<Contender> contenders = {
        {tilewick(), reps, {}}, {redrawOff(), reps, {}}, {plain(), plainReps, {}}};
    if (startContenders(contenders, terminals)) {
        for (int rep = 0; rep < reps; ++rep) {
            for (Contender& c : contenders) {
                if (!c.ok || rep >= c.reps)
                    continue;
                c.ok = listRound(c, rounds);
            }
        }
    }
    stopContenders(contenders, scenario);
}

void setClipboard(const wchar_t* text, std::size_t bytes) {
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(block), text, bytes);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

void inputScenario(int reps) {
    const int terminals = 50;
    Farm farm;
    if (!startFarm(farm, terminals, 0, 2, true))  // shown: Tilewick keeps their bands meanwhile
        return;
    const wchar_t text[] = L"echo bench";  // one line: no confirmation
    setClipboard(text, sizeof text);
    FarmShared* s = farm.shared;
    std::vector<Contender> contenders = {{tilewick(), reps, {}}, {redrawOff(), reps, {}}};
    std::map<std::string, long> pastesLost;
    if (startContenders(contenders, terminals)) {
        for (int rep = 0; rep < reps; ++rep) {
            for (Contender& c : contenders) {
                if (!c.ok)
                    continue;
                const Running& r = c.run;
                const std::string name =
                    c.program.name == "Tilewick" ? c.program.name : "guard calls";
                c.ok = false;
                if (!focus(r, r.command, 'I')) {
                    fail(name + ": the command field did not take the focus");
                    continue;
                }
                settle(r);
                LONG before = s->keyDowns;
                LONGLONG t0 = now();
                bench::tapKey('K');
                if (!pollUntil([&] { return s->keyDowns >= before + terminals; }, Millis(60000))) {
                    fail(name + ": the key did not reach every terminal");
                    continue;
                }
                record("first key to 50 terminals, activated", name, msBetween(t0, s->lastKeyAt));
                // The next key: after an activation, the first key also resets
                // every terminal's key state once more; the keys after it do not.
                before = s->keyDowns;
                t0 = now();
                bench::tapKey('J');
                if (!pollUntil([&] { return s->keyDowns >= before + terminals; }, Millis(60000))) {
                    fail(name + ": the second key did not reach every terminal");
                    continue;
                }
                record("key to 50 terminals", name, msBetween(t0, s->lastKeyAt));
                settle(r);
                before = s->rightUps;
                const LONG readsBefore = s->reads, lostBefore = s->readsGivenUp;
                t0 = now();
                gestures::alt('V');
                // Until every clicked terminal's reader has finished, with the
                // text or without it.
                if (!pollUntil(
                        [&] {
                            return s->rightUps >= before + terminals &&
                                   s->reads + s->readsGivenUp >=
                                       readsBefore + lostBefore + terminals;
                        },
                        Millis(60000))) {
                    fail(name + ": the paste did not reach every terminal");
                    continue;
                }
                record("paste to 50 terminals", name,
                       msBetween(t0, std::max(s->lastRightUpAt, s->lastReadAt)));
                pastesLost[name] += s->readsGivenUp - lostBefore;
                c.ok = true;
            }
        }
    }
    stopContenders(contenders, "input");
    for (const auto& [name, lost] : pastesLost)
        std::printf("%s: %ld of %d pastes lost (a reader found the clipboard held)\n", name.c_str(),
                    lost, terminals * reps);
}

// Wine answers GetProcessTimes for another process with zeros, so processor
// time and resident memory are read where Linux keeps them: /proc/<pid>,
// seen through drive Z:. The newest process whose command line passes
// `matches`, and whose environment passes `ours`.
std::wstring newestProcDir(const std::function<bool(const std::string&)>& matches,
                           const std::function<bool(const std::string&)>& ours) {
    std::wstring newest;
    long newestPid = -1;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return newest;
    do {
        const long pid = std::wcstol(found.cFileName, nullptr, 10);
        if (pid <= newestPid)
            continue;
        const std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName;
        if (matches(bench::readFile(dir + L"\\cmdline")) &&
            ours(bench::readFile(dir + L"\\environ"))) {
            newestPid = pid;
            newest = dir;
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return newest;
}

// The newest process running this Tilewick.exe.
std::wstring tilewickProcDir() {
    const std::string exe = bench::narrow(bench::tilewickExe());
    return newestProcDir(
        [&](const std::string& cmd) { return cmd.compare(0, exe.size(), exe) == 0; },
        [](const std::string&) { return true; });
}

// The wineserver of this prefix: other prefixes on the machine have their own.
std::wstring wineserverProcDir() {
    char prefix[1024] = {};
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    const std::string wanted = std::string("WINEPREFIX=") + prefix + '\0';
    return newestProcDir(
        [](const std::string& cmd) {
            const std::string first = cmd.substr(0, cmd.find('\0'));
            return first.find("wineserver") != std::string::npos;
        },
        [&](const std::string& env) { return prefix[0] && env.find(wanted) != std::string::npos; });
}

// A process's processor time so far, user and system, in milliseconds.
double cpuMs(const std::wstring& procDir) {
    const std::string stat = bench::readFile(procDir + L"\\stat");
    const std::size_t end = stat.rfind(')');
    if (end == std::string::npos)
        return 0;
    // After the name: state, then twelve more fields before utime and stime.
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(stat.c_str() + end + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
        return 0;
    return (utime + stime) * 10.0;  // clock ticks of 10 ms
}

// A process's resident memory now (VmRSS), in MiB.
double residentMiB(const std::wstring& procDir) {
    const std::string status = bench::readFile(procDir + L"\\status");
    const std::size_t at = status.find("VmRSS:");
    return at == std::string::npos ? 0 : std::strtod(status.c_str() + at + 6, nullptr) / 1024.0;
}

// Tilewick's band edges that are shown, read from outside: four to a band.
int shownBandEdges(DWORD pid) {
    int shown = 0;
    for (HWND edge : bench::topWindowsOf(pid, L"TilewickBand"))
        shown += IsWindowVisible(edge) != FALSE;
    return shown;
}

// The top edge of the shown band over `rect`, or null.
HWND bandAt(DWORD pid, const RECT& rect) {
    for (HWND edge : bench::topWindowsOf(pid, L"TilewickBand")) {
        const RECT b = bench::windowRect(edge);
        if (IsWindowVisible(edge) && b.left == rect.left && b.top == rect.top &&
            b.right == rect.right && b.bottom - b.top < 16)
            return edge;
    }
    return nullptr;
}

struct Idle {
    double cpuPercent = 0;  // Tilewick and the wineserver, of one core
    double residentMiB = 0;
};

// Five seconds of nothing happening: what Tilewick and the wineserver spend.
Idle measureIdle(const std::wstring& tilewickDir, const std::wstring& serverDir) {
    const double cpu0 = cpuMs(tilewickDir) + cpuMs(serverDir);
    const LONGLONG t0 = now();
    Sleep(5000);
    const double cpu = cpuMs(tilewickDir) + cpuMs(serverDir) - cpu0;
    return {100.0 * cpu / msBetween(t0, now()), residentMiB(tilewickDir)};
}

// `terminals` shown terminals among `others` other windows, first with
// nothing selected and then all selected: Tilewick's resident memory and the
// idle processor time of Tilewick and the wineserver in both; how long select
// all takes to show every band, how long the loop takes to answer, and how
// soon a band follows a terminal moved by someone else.
void bandScenario(int terminals, int others, int reps) {
    const std::string n =
        std::to_string(terminals) + " of " + std::to_string(terminals + others) + " windows";
    Farm farm;
    if (!startFarm(farm, terminals, others, terminals > 100 ? 3 : 2, true))
        return;
    Running r;
    if (!start(tilewick(), terminals, &r)) {
        if (r.process)
            stop(r, tilewick());
        return;
    }
    const DWORD pid = r.process->pid();
    const std::wstring tilewickDir = tilewickProcDir(), serverDir = wineserverProcDir();
    if (tilewickDir.empty() || serverDir.empty())
        fail("bands: the processor time of Tilewick or the wineserver cannot be read");
    if (!focus(r, r.command, 'I')) {
        fail("bands: the command field did not take the focus");
        stop(r, tilewick());
        return;
    }
    settle(r);
    Sleep(2000);  // the list's last paints
    auto sampleIdle = [&](std::vector<Idle>& into, const std::string& selected) {
        into.push_back(measureIdle(tilewickDir, serverDir));
        record("idle CPU %, Tilewick + wineserver, " + selected + " selected, " + n, "Tilewick",
               into.back().cpuPercent);
        record("resident MiB, " + selected + " selected, " + n, "Tilewick",
               into.back().residentMiB);
    };
    std::vector<Idle> none;
    for (int rep = 0; rep < reps; ++rep)
        sampleIdle(none, "none");

    LONGLONG t0 = now();
    gestures::alt('A');
    // Polled gently: counting thousands of windows costs the wineserver too.
    LONGLONG shownAt = 0;
    if (!bench::waitUntil(
            [&] {
                shownAt = now();
                return shownBandEdges(pid) == 4 * terminals;
            },
            Millis(600000))) {
        fail("bands: not every selected terminal showed its band");
        stop(r, tilewick());
        return;
    }
    record("select all to every band, " + n, "Tilewick", msBetween(t0, shownAt));
    settle(r);
    Sleep(2000);  // what the last bands shown left to the wineserver and X, as above
    std::vector<Idle> all;
    for (int rep = 0; rep < reps; ++rep) {
        sampleIdle(all, "all");
        // The loop's answer to a message, sampled while the timer runs.
        std::vector<double> answers;
        for (int probe = 0; probe < 100; ++probe) {
            const LONGLONG p0 = now();
            ask(r.main, WM_NULL);
            answers.push_back(msBetween(p0, now()));
            Sleep(17);
        }
        record("loop answers within (max ms), " + n, "Tilewick", stats(answers).max);
    }
    auto median = [](const std::vector<Idle>& v, double Idle::*field) {
        std::vector<double> x;
        for (const Idle& i : v)
            x.push_back(i.*field);
        return stats(x).median;
    };
    bandCosts.push_back({n, median(all, &Idle::residentMiB) - median(none, &Idle::residentMiB),
                         median(all, &Idle::cpuPercent) - median(none, &Idle::cpuPercent)});

    const std::vector<HWND> farmTerminals = bench::topWindowsOf(farm.process->pid(), L"PuTTY");
    for (int rep = 0; rep < reps && !farmTerminals.empty(); ++rep) {
        const HWND t = farmTerminals[(rep * 7919) % farmTerminals.size()];
        // Its band, found at a place of its own, then timed to the next.
        const RECT first = {900, 500 + rep, 1250, 760 + rep};
        SetWindowPos(t, nullptr, first.left, first.top, first.right - first.left,
                     first.bottom - first.top, SWP_NOZORDER | SWP_NOACTIVATE);
        HWND band = nullptr;
        if (!bench::waitUntil([&] { return (band = bandAt(pid, first)) != nullptr; },
                              Millis(30000))) {
            fail("bands: a moved terminal's band did not follow");
            break;
        }
        const RECT next = {1000, 600 + rep, 1330, 850 + rep};
        t0 = now();
        SetWindowPos(t, nullptr, next.left, next.top, next.right - next.left,
                     next.bottom - next.top, SWP_NOZORDER | SWP_NOACTIVATE);
        LONGLONG t1 = 0;
        if (!pollUntil(
                [&] {
                    const RECT b = bench::windowRect(band);
                    t1 = now();
                    return b.left == next.left && b.top == next.top && b.right == next.right;
                },
                Millis(30000))) {
            fail("bands: a moved terminal's band did not follow");
            break;
        }
        record("band follows a moved terminal, " + n, "Tilewick", msBetween(t0, t1));
    }

    // Every terminal moved by Tilewick at once (Alt+L): until each has its band
    // at its new place, and how long the loop takes to answer meanwhile. The
    // terminals' own process takes its time to apply the moves: when their
    // rectangles last changed is timed too.
    gestures::alt('L');
    t0 = now();
    std::vector<double> answers;
    std::vector<RECT> lastRects;
    LONGLONG movedAt = t0;
    auto everyBandOnItsTerminal = [&] {
        const LONGLONG p0 = now();
        ask(r.main, WM_NULL);
        answers.push_back(msBetween(p0, now()));
        std::vector<RECT> rects;
        for (HWND t : farmTerminals)
            rects.push_back(bench::windowRect(t));
        if (rects.size() != lastRects.size() ||
            !std::equal(rects.begin(), rects.end(), lastRects.begin(),
                        [](const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }))
            movedAt = now();
        lastRects = rects;
        std::set<std::tuple<LONG, LONG, LONG>> tops;
        for (HWND edge : bench::topWindowsOf(pid, L"TilewickBand")) {
            const RECT e = bench::windowRect(edge);
            if (IsWindowVisible(edge))
                tops.insert({e.left, e.top, e.right});
        }
        return std::all_of(farmTerminals.begin(), farmTerminals.end(), [&](HWND t) {
            const RECT w = bench::windowRect(t);
            return tops.count({w.left, w.top, w.right}) != 0;
        });
    };
    if (bench::waitUntil(everyBandOnItsTerminal, Millis(600000))) {
        record("arrange to every band in place, " + n, "Tilewick", msBetween(t0, now()));
        record("arrange to the last terminal moved, " + n, "Tilewick", msBetween(t0, movedAt));
        record("loop answers meanwhile within (max ms), " + n, "Tilewick", stats(answers).max);
    } else {
        fail("bands: after arranging, not every terminal had its band in place");
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(r.process->handle(), &counters, sizeof counters))
        memory["Tilewick bands " + std::to_string(terminals)] = {counters.PeakWorkingSetSize,
                                                                 counters.PeakPagefileUsage};
    stop(r, tilewick());
}

// ---- Opening saved sessions -------------------------------------------------------------
//
// Twenty raw sessions saved in the registry, each to a listener of its own,
// and a group of all of them in twk.ini: Alt+1 in Tilewick against a plain
// launcher starting the same twenty PuTTY and tiling their windows, each
// timed until all twenty are in cells of their own, captioned with their hosts.

constexpr int kBenchSessions = 20;
const wchar_t kBenchSessionsKey[] = L"Software\\SimonTatham\\PuTTY\\Sessions\\";

std::wstring benchSession(int i) {
    wchar_t name[16];
    swprintf(name, 16, L"bench%02d", i + 1);
    return name;
}

void saveBenchSession(int i, int port) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (kBenchSessionsKey + benchSession(i)).c_str(), 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    auto text = [key](const wchar_t* value, const std::wstring& data) {
        RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    };
    auto number = [key](const wchar_t* value, DWORD data) {
        RegSetValueExW(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    };
    text(L"HostName", L"127.0.0.1");
    text(L"Protocol", L"raw");
    text(L"LogHost", benchSession(i));
    number(L"PortNumber", static_cast<DWORD>(port));
    number(L"WarnOnClose", 0);
    RegCloseKey(key);
}

void endEveryPutty() {
    for (HWND w : bench::topWindowsOfClass(L"PuTTY")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
            TerminateProcess(p, 0);
            CloseHandle(p);
        }
    }
    bench::waitUntil([] { return bench::topWindowsOfClass(L"PuTTY").empty(); });
}

// `n` PuTTY windows, each captioned with its host, no two at one top-left corner.
bool tiledTerminals(std::size_t n) {
    const std::vector<HWND> windows = bench::topWindowsOfClass(L"PuTTY");
    if (windows.size() != n)
        return false;
    std::vector<std::pair<LONG, LONG>> corners;
    for (HWND w : windows) {
        const RECT r = bench::windowRect(w);
        if (bench::windowText(w) == L"PuTTY" || !IsWindowVisible(w))
            return false;
        corners.push_back({r.left, r.top});
    }
    std::sort(corners.begin(), corners.end());
    return std::adjacent_find(corners.begin(), corners.end()) == corners.end();
}

void sessionScenario(int reps) {
    const std::wstring putty = bench::toWindowsPath(real_putty::envVar(L"TWK_PUTTY_EXE"));
    if (putty.empty() || !bench::fileExists(putty)) {
        fail("sessions: TWK_PUTTY_EXE names no putty.exe");
        return;
    }
    std::vector<std::unique_ptr<real_putty::ByteListener>> listeners;
    std::vector<std::wstring> launcherArgs = {putty};
    std::wstring group;
    for (int i = 0; i < kBenchSessions; ++i) {
        listeners.push_back(std::make_unique<real_putty::ByteListener>());
        saveBenchSession(i, listeners.back()->port());
        launcherArgs.push_back(benchSession(i));
        group += (i ? L"," : L"") + benchSession(i);
    }
    const std::wstring ini = bench::documentsDir() + L"\\twk.ini";
    WritePrivateProfileStringW(L"PUTTY", L"path", putty.c_str(), ini.c_str());
    WritePrivateProfileStringW(L"PUTTY", L"arrange", L"TRUE", ini.c_str());
    WritePrivateProfileStringW(L"GROUPS", L"bench", group.c_str(), ini.c_str());
    const std::string action = "open 20 sessions, until tiled";
    Running tw;
    if (start(tilewick(), 0, &tw)) {
        for (int rep = 0; rep < reps; ++rep) {
            endEveryPutty();
            if (!focus(tw, tw.command, 'I')) {
                fail("sessions: the command field did not take the focus");
                break;
            }
            LONGLONG t0 = now();
            gestures::alt('1');
            if (!pollUntil([] { return tiledTerminals(kBenchSessions); }, Millis(60000))) {
                fail("sessions: Tilewick did not tile twenty opened sessions");
                break;
            }
            record(action, "Tilewick", msBetween(t0, now()));
            endEveryPutty();
            t0 = now();
            const auto launcher =
                bench::launch(besideDriver(L"session_baseline.exe"), launcherArgs);
            if (!launcher ||
                !pollUntil([] { return tiledTerminals(kBenchSessions); }, Millis(60000))) {
                fail("sessions: the launcher did not tile twenty sessions");
                break;
            }
            record(action, "launcher", msBetween(t0, now()));
        }
        stop(tw, tilewick());
    }
    endEveryPutty();
    for (int i = 0; i < kBenchSessions; ++i)
        RegDeleteTreeW(HKEY_CURRENT_USER, (kBenchSessionsKey + benchSession(i)).c_str());
    DeleteFileW(ini.c_str());
}

// ---- The table ------------------------------------------------------------------------

std::string cell(const std::vector<double>* v) {
    if (!v || v->empty())
        return "-";
    const Stats s = stats(*v);
    char buf[96];
    if (s.n == 1)
        std::snprintf(buf, sizeof buf, "%.1f (n=1)", s.median);
    else
        std::snprintf(buf, sizeof buf, "%.1f [%.1f-%.1f]", s.median, s.min, s.max);
    return buf;
}

void printTable() {
    std::printf("\nmilliseconds: median [min-max] over the repetitions\n\n");
    std::printf("| %-34s | %-24s | %-24s | %-24s | %-22s |\n", "action", "Tilewick", "baseline",
                "plain", "ratio (target)");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(26, '-').c_str(),
                std::string(26, '-').c_str(), std::string(26, '-').c_str(),
                std::string(24, '-').c_str());
    for (const std::string& action : actionOrder) {
        auto& byProgram = samples[action];
        auto find = [&](const char* name) -> const std::vector<double>* {
            auto it = byProgram.find(name);
            return it == byProgram.end() ? nullptr : &it->second;
        };
        const bool startup = action.rfind("start-up", 0) == 0;
        const bool input = action.find("terminals") != std::string::npos && !startup;
        const bool sessions = action.rfind("open ", 0) == 0;
        const std::vector<double>* base = startup    ? find("same window")
                                          : input    ? find("guard calls")
                                          : sessions ? find("launcher")
                                                     : find("redraw off");
        const std::vector<double>* own = find("Tilewick");
        const double target = startup ? 1.3 : input ? 1.1 : 1.2;
        char ratio[64] = "-";
        if (own && base && !own->empty() && !base->empty() && stats(*base).median > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f (<= %.1f)",
                          stats(*own).median / stats(*base).median, target);
        const std::string baseCell = cell(base);
        std::printf("| %-34s | %-24s | %-24s | %-24s | %-22s |\n", action.c_str(),
                    cell(own).c_str(), baseCell.c_str(), cell(find("plain")).c_str(), ratio);
    }
    std::printf("\nbaseline: redraw off during the rebuild (list actions), the guard's own calls\n"
                "and the same posts or sends (key; paste, each click after the same probe and\n"
                "clipboard check), the same window with its nineteen controls and pictures\n"
                "(start-up), a launcher that starts the same PuTTY, waits and tiles (sessions).\n"
                "plain: a list drawn after every row and mark;\n"
                "at start-up a window of three controls only.\n");
    auto& startSamples = samples["start-up to 50 rows"];
    if (!startSamples["Tilewick"].empty() && !startSamples["plain"].empty())
        std::printf("start-up against plain: %.2f\n",
                    stats(startSamples["Tilewick"]).median / stats(startSamples["plain"]).median);
    std::printf("\n");
    for (const auto& m : memory)
        std::printf("peak memory, %-22s working set %6.1f MB, pagefile %6.1f MB\n", m.first.c_str(),
                    m.second.peakWorkingSet / 1048576.0, m.second.peakPagefile / 1048576.0);
    for (const BandCost& c : bandCosts)
        std::printf("bands, all selected against none, %s: resident %+.1f MiB (<= +64), "
                    "idle CPU of Tilewick + wineserver %+.1f points of a core (<= +10)\n",
                    c.scenario.c_str(), c.residentMiB, c.cpuPoints);
    for (const std::string& f : failures)
        std::printf("FAILED: %s\n", f.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int reps = 7;
    int largePlainReps = 1;
    std::string only = "startup,small,large,input,bands,sessions";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--reps")
            reps = std::max(1, std::atoi(argv[i + 1]));
        else if (key == "--large-plain-reps")
            largePlainReps = std::max(0, std::atoi(argv[i + 1]));
        else if (key == "--only")
            only = argv[i + 1];
    }
    auto wanted = [&](const char* s) { return only.find(s) != std::string::npos; };
    std::printf("Tilewick: %s\n", bench::narrow(bench::tilewickExe()).c_str());
    std::fflush(stdout);
    if (wanted("startup"))
        startupScenario(reps * 2);  // cheap, and the noisiest
    if (wanted("small"))
        listScenario(100, 400, 2, reps, reps);
    if (wanted("large"))
        listScenario(1000, 4000, 3, reps, largePlainReps);
    if (wanted("input"))
        inputScenario(reps * 2);
    if (wanted("bands")) {
        bandScenario(50, 0, reps);
        bandScenario(1000, 4000, reps);
    }
    if (wanted("sessions"))
        sessionScenario(reps);
    printTable();
    return failures.empty() ? 0 : 1;
}
