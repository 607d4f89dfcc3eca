#include "sessions/session_opening.h"

#include "app/app_state.h"
#include "arrange/arrange.h"
#include "broadcast/window_naming.h"
#include "platform/bounded_text.h"
#include "registry/discovery.h"
#include "registry/selection.h"
#include "sessions/command_line.h"
#include "sessions/putty_location.h"
#include "sessions/putty_settings.h"
#include "sessions/session_groups.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr char16_t kFailedText[] =
    u"次のセッションは開けませんでした（起動失敗: putty.exe を起動できない、終了: すぐに終了した、"
    u"時間切れ: 20 秒以内にウィンドウが出なかった、セッションなし: 保存されたセッションにない、"
    u"名前: この環境のコードページで表せない名前）。";

std::u16string failure(const char16_t* reason, const std::u16string& name) {
    return u"[" + std::u16string(reason) + u"] " + name;
}

bool isTerminalWindow(platform::WindowHandle window) {
    char16_t cls[64] = {};
    platform::className(window, cls, 64);
    return platform::windowExists(window) && isTerminalClass(cls);
}

// The window an earlier open of this run made for the session, while it lasts.
platform::WindowHandle earlierWindow(const std::u16string& name) {
    const auto& windows = app().opening.windows;
    const auto it = windows.find(name);
    return it != windows.end() && isTerminalWindow(it->second) ? it->second : nullptr;
}

// Windows of class "PuTTY" with a caption, by the process owning them.
std::map<std::uint32_t, platform::WindowHandle> terminalsByProcess() {
    std::map<std::uint32_t, platform::WindowHandle> found;
    platform::enumerateTopLevelWindows([&found](platform::WindowHandle w) {
        char16_t cls[64] = {};
        platform::className(w, cls, 64);
        if (isTerminalClass(cls) && platform::windowTextLength(w) > 0)
            found.emplace(platform::windowProcessId(w), w);
        return true;
    });
    return found;
}

// PuTTY captions its window "PuTTY" first and "<host> - PuTTY" once its
// session has started; the list keeps the caption it finds, so it waits for
// the second (and takes the first only when the time is up).
bool namesItsHost(platform::WindowHandle window) {
    char16_t caption[8] = {};
    platform::windowText(window, caption, 8);
    return std::u16string_view(caption) != u"PuTTY";
}

void warnOfFailures(const std::vector<std::u16string>& failures) {
    if (failures.empty())
        return;
    // Named like the windows of the other warnings, with the same bounds.
    WindowList named(failures.size());
    NamedWindows pointers;
    for (std::size_t i = 0; i < failures.size(); ++i) {
        const std::size_t units = std::min<std::size_t>(failures[i].size(), kTitleUnits - 1);
        std::copy_n(failures[i].begin(), units, named[i].title);
        pointers.push_back(&named[i]);
    }
    platform::warningBox(namingWindows(kFailedText, pointers).c_str(), kWarningCaption);
}

// The wait is over: the list as refresh makes it, the opened windows
// selected in the dialog's order, tiled, and Tilewick in front again.
void finishOpening() {
    AppState& a = app();
    OpeningState& o = a.opening;
    platform::stopTimer(a.mainWindow, kOpeningTimerId);
    for (const StartedSession& s : o.started) {
        if (s.window)
            o.windows[s.name] = s.window;
        else
            o.failures.push_back(failure(s.exited ? u"終了" : u"時間切れ", s.name));
        platform::releaseProcess(s.process);
    }
    o.started.clear();
    o.waiting = false;
    refreshWindows();
    a.selectedWindows.clear();
    for (const auto& name : o.order) {
        const platform::WindowHandle window = earlierWindow(name);
        const auto record =
            std::find_if(a.allWindows.begin(), a.allWindows.end(),
                         [window](const WindowRecord& r) { return r.handle == window; });
        if (window && record != a.allWindows.end())
            a.selectedWindows.push_back(*record);
    }
    markRows(a.allWindows);
    updateSelectionState();
    if (o.arrange)
        arrangeWindows();
    platform::setForegroundWindow(a.mainWindow);
    platform::setFocus(a.controls.commandEdit);
    const std::vector<std::u16string> failures = std::move(o.failures);
    o.failures.clear();
    warnOfFailures(failures);
}

}  // namespace

bool openingUnderWay() {
    return app().opening.waiting;
}

void openSessions(const std::vector<SavedSession>& chosen,
                  const std::vector<std::u16string>& missing, bool arrange) {
    AppState& a = app();
    OpeningState& o = a.opening;
    if (o.waiting || (chosen.empty() && missing.empty()))
        return;
    const PuttySearch putty = findPutty(a.settingsPath);
    if (putty.found.empty()) {
        platform::warningBox(puttyMissingText(putty).c_str(), kWarningCaption);
        return;
    }
    o = OpeningState{
        true, platform::tickCount() + kOpeningLimitMs, arrange, {}, {}, {}, std::move(o.windows)};
    for (const SavedSession& s : chosen) {
        o.order.push_back(s.name);
        if (earlierWindow(s.name))
            continue;
        if (!s.openable) {
            o.failures.push_back(failure(u"名前", s.name));
            continue;
        }
        std::uint32_t error = 0;
        const platform::Process p = platform::startProcess(
            putty.found.c_str(), puttyCommandLine(putty.found, s.name), error);
        if (p.id)
            o.started.push_back({s.name, p});
        else
            o.failures.push_back(failure(u"起動失敗", s.name));
    }
    for (const auto& name : missing)
        o.failures.push_back(failure(u"セッションなし", name));
    if (o.started.empty())
        finishOpening();
    else
        platform::startTimer(a.mainWindow, kOpeningTimerId, kOpeningTickMs, 0);
}

void openGroup(std::size_t index) {
    const AppState& a = app();
    if (a.opening.waiting)
        return;
    const std::vector<SessionGroup> groups = loadGroups(a.settingsPath);
    if (index >= groups.size()) {
        const std::u16string text = BoundedText<200>()
                                        .text(u"グループ ")
                                        .number(static_cast<long long>(index + 1))
                                        .text(u" がないため、何も開きません。Alt+N "
                                              u"のダイアログでグループを保存してください。")
                                        .str();
        platform::warningBox(text.c_str(), kWarningCaption);
        return;
    }
    const SessionGroup& group = groups[index];
    std::vector<SavedSession> chosen;
    for (const SavedSession& s : savedSessions())
        if (std::find(group.sessions.begin(), group.sessions.end(), s.name) != group.sessions.end())
            chosen.push_back(s);
    std::vector<std::u16string> missing;
    for (const auto& name : group.sessions)
        if (std::none_of(chosen.begin(), chosen.end(),
                         [&](const SavedSession& s) { return s.name == name; }))
            missing.push_back(name);
    openSessions(chosen, missing, arrangeAfterOpening(a.settingsPath));
}

void followOpening() {
    OpeningState& o = app().opening;
    if (!o.waiting)
        return;
    const bool timeUp = platform::tickCount() >= o.deadline;
    const auto terminals = terminalsByProcess();
    bool allAccounted = true;
    for (StartedSession& s : o.started) {
        if (s.window || s.exited)
            continue;
        const auto it = terminals.find(s.process.id);
        if (it != terminals.end() && (namesItsHost(it->second) || timeUp))
            s.window = it->second;
        else if (it == terminals.end() && !platform::processRunning(s.process))
            s.exited = true;
        else
            allAccounted = false;
    }
    if (allAccounted || timeUp)
        finishOpening();
}
