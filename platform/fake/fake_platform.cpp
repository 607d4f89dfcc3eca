// The platform calls over the fake desktop.
#include "platform/fake/fake_desktop.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace platform {

using fake::desktop;

namespace {

std::string tag(WindowHandle h) {
    return "w" + std::to_string(reinterpret_cast<std::uintptr_t>(h));
}

// What a nested message loop may do while a call on a window waits.
void during(const std::string& call, WindowHandle h) {
    auto& d = desktop();
    if (!d.duringCall || d.inCall)
        return;
    d.inCall = true;
    const auto hook = d.duringCall;  // the hook may replace itself
    hook(call, h);
    desktop().inCall = false;
}

void log(const std::string& call, WindowHandle h, const std::string& args = "") {
    desktop().calls.push_back(call + " " + tag(h) + (args.empty() ? "" : " " + args));
    during(call, h);
}

fake::Window* find(WindowHandle h) {
    auto it = desktop().windows.find(h);
    if (it == desktop().windows.end() || !it->second.exists)
        return nullptr;
    return &it->second;
}

// A synchronous call that needs the window's thread: on a hung window it is
// recorded as one that never returns, and does nothing.
bool blocks(const std::string& call, WindowHandle h) {
    auto* win = find(h);
    if (!win || !win->hung)
        return false;
    desktop().blocked.push_back(call + " " + tag(h));
    return true;
}

// An asynchronous request the window's thread would carry out; a hung one never does.
fake::Window* handling(WindowHandle h) {
    auto* win = find(h);
    return win && !win->hung ? win : nullptr;
}

// A time-out on a window that does not answer runs out, except when the
// window is reported hung: then the send gives up at once.
bool answersWithin(WindowHandle h, unsigned timeoutMs) {
    auto* win = find(h);
    if (!win)
        return false;
    if (win->hung && !win->hungReported)
        desktop().waitedMs += timeoutMs;
    return !win->hung;
}

long long overlap(const Rect& a, const Rect& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// MonitorFromRect with MONITOR_DEFAULTTONULL: the display sharing the most area.
const fake::Monitor* monitorOf(const Rect& r) {
    const fake::Monitor* best = nullptr;
    long long most = 0;
    for (const auto& m : desktop().monitors)
        if (overlap(m.area, r) > most) {
            most = overlap(m.area, r);
            best = &m;
        }
    return best;
}

// Workspace coordinates count from the work area's corner of the display the
// rectangle is on; screen coordinates from the primary display's corner.
Rect shifted(const Rect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
Rect toScreen(const Rect& workspace) {
    const fake::Monitor* m = monitorOf(workspace);
    return m ? shifted(workspace, m->workArea().left - m->area.left,
                       m->workArea().top - m->area.top)
             : workspace;
}
Rect toWorkspace(const Rect& screen) {
    const fake::Monitor* m = monitorOf(screen);
    return m ? shifted(screen, m->area.left - m->workArea().left, m->area.top - m->workArea().top)
             : screen;
}

int scaled(int length, unsigned to, unsigned from) {
    return static_cast<int>((static_cast<long long>(length) * to + from / 2) / from);
}

// The window's rectangle changed: a per-monitor aware window that came onto a
// display of another DPI takes the suggested rectangle (same corner, size
// scaled); a restored window's normal rectangle is where it now is.
void settle(fake::Window* win) {
    const fake::Monitor* m = monitorOf(win->bounds);
    if (win->followsDpi && m && m->dpi != win->dpi) {
        Rect& b = win->bounds;
        b.right = b.left + scaled(b.right - b.left, m->dpi, win->dpi);
        b.bottom = b.top + scaled(b.bottom - b.top, m->dpi, win->dpi);
        Rect& in = win->invisibleBorder;
        in = {scaled(in.left, m->dpi, win->dpi), scaled(in.top, m->dpi, win->dpi),
              scaled(in.right, m->dpi, win->dpi), scaled(in.bottom, m->dpi, win->dpi)};
        win->dpi = m->dpi;
    }
    if (win->placement.showCmd == kShowNormal)
        win->placement.normalPosition = toWorkspace(win->bounds);
}

void applyShow(fake::Window* win, ShowCommand command) {
    if (!win)
        return;
    switch (command) {
    case kHide:
        win->visible = false;
        break;
    case kShow:
        win->visible = true;
        break;
    case kMinimize:
        win->placement.showCmd = kShowMinimized;
        break;
    case kRestore:
        win->placement.showCmd = kShowNormal;
        win->bounds = toScreen(win->placement.normalPosition);
        settle(win);
        break;
    default:
        win->placement.showCmd = command;
        break;
    }
}

bool applyPlacement(fake::Window* win, const Placement& p) {
    if (!win || win->refusePlacement)
        return false;
    win->placement = p;
    if (p.showCmd == kShowNormal) {
        win->bounds = toScreen(p.normalPosition);
        settle(win);
    }
    return true;
}

std::string placementArgs(const Placement& p) {
    const auto& r = p.normalPosition;
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom) + " show " + std::to_string(p.showCmd);
}

int copyOut(const std::u16string& s, char16_t* buffer, int capacity) {
    if (capacity <= 0)
        return 0;
    int n = std::min<int>(static_cast<int>(s.size()), capacity - 1);
    std::copy(s.begin(), s.begin() + n, buffer);
    buffer[n] = 0;
    return n;
}

// Only a post that PostMessageW would queue reaches `posted`.
PostResult post(const fake::PostedKey& message) {
    during(message.isChar ? "postChar" : "postKeyDown", message.window);
    auto* win = find(message.window);
    if (!win)
        return PostResult::WindowGone;
    if (win->elevated)
        return PostResult::AccessDenied;
    if (win->queueFull)
        return PostResult::Failed;
    desktop().posted.push_back(message);
    desktop().posted.back().receiverState = win->keyState;
    return PostResult::Posted;
}

}  // namespace

void enumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    // Like EnumWindows: the handles are taken first, then each is handed to
    // the visitor, also one that closed meanwhile (its handle is stale then).
    std::vector<WindowHandle> order;
    for (WindowHandle h : desktop().zOrder)
        if (find(h))
            order.push_back(h);
    for (WindowHandle h : order)
        if (!visit(h))
            return;
}

int windowText(WindowHandle w, char16_t* buffer, int capacity) {
    auto* win = find(w);
    const int n = win ? copyOut(win->text, buffer, capacity) : 0;
    if (desktop().afterTextRead)
        desktop().afterTextRead(w);
    return n;
}

int windowTextLength(WindowHandle w) {
    auto* win = find(w);
    return win ? static_cast<int>(win->text.size()) : 0;
}

int className(WindowHandle w, char16_t* buffer, int capacity) {
    auto* win = find(w);
    const int n = win ? copyOut(win->className, buffer, capacity) : 0;
    if (desktop().afterClassRead)
        desktop().afterClassRead(w);
    return n;
}

void setWindowText(WindowHandle w, const char16_t* text) {
    auto* win = find(w);
    if (!win)
        return;
    win->text = text;
    log("setWindowText", w, fake::narrow(text));
    if (win->onTextChanged)
        win->onTextChanged();
}

bool windowExists(WindowHandle w) {
    return find(w) != nullptr;
}

void enableWindow(WindowHandle w, bool enabled) {
    if (auto* win = find(w))
        win->enabled = enabled;
    log("enableWindow", w, enabled ? "1" : "0");
}

void showWindow(WindowHandle w, ShowCommand command) {
    log("showWindow", w, std::to_string(command));
    if (!blocks("showWindow", w))
        applyShow(find(w), command);
}

void setFocus(WindowHandle w) {
    log("setFocus", w);
    desktop().focus = w;
}

WindowHandle focusedWindow() {
    return desktop().focus;
}

void setActiveWindow(WindowHandle w) {
    log("setActiveWindow", w);
}

void setForegroundWindow(WindowHandle w) {
    log("setForegroundWindow", w);
    if (find(w))
        desktop().foreground = w;
}

bool getWindowPlacement(WindowHandle w, Placement& placement) {
    log("getWindowPlacement", w);
    auto* win = find(w);
    if (!win)
        return false;
    placement = win->placement;
    return true;
}

bool setWindowPlacement(WindowHandle w, const Placement& p) {
    log("setWindowPlacement", w, placementArgs(p));
    return !blocks("setWindowPlacement", w) && applyPlacement(find(w), p);
}

// FlashWindowEx redraws the caption through the window's own thread.
void flashCaption(WindowHandle w, unsigned count, unsigned intervalMs) {
    log("flashCaption", w, std::to_string(count) + "," + std::to_string(intervalMs));
    blocks("flashCaption", w);
}

void setLayeredAlpha(WindowHandle w, std::uint8_t alpha) {
    log("setLayeredAlpha", w, std::to_string(alpha));
    if (auto* win = find(w))
        win->alpha = alpha;
}

void sleepMs(unsigned ms) {
    desktop().calls.push_back("sleep " + std::to_string(ms));
    desktop().sleptMs += ms;
    desktop().clockMs += ms;
}

void debugOutput(const char16_t* line) {
    desktop().debugLines.push_back(line);
}

void listReset(WindowHandle list) {
    if (auto* win = find(list)) {
        win->rows.clear();
        win->marks.clear();
        ++win->resets;
        win->changesDrawn += win->redraw;
    }
}

void listAdd(WindowHandle list, const char16_t* text) {
    if (auto* win = find(list)) {
        win->rows.push_back(text);
        win->marks.push_back(false);
        ++win->rowsAdded;
        win->changesDrawn += win->redraw;
    }
}

void listSetMark(WindowHandle list, int row, bool marked) {
    auto* win = find(list);
    if (!win)
        return;
    win->changesDrawn += win->redraw;
    if (row == -1)
        std::fill(win->marks.begin(), win->marks.end(), marked);
    else if (row >= 0 && row < static_cast<int>(win->marks.size()))
        win->marks[row] = marked;
}

int listCount(WindowHandle list) {
    auto* win = find(list);
    return win ? static_cast<int>(win->rows.size()) : 0;
}

bool listIsMarked(WindowHandle list, int row) {
    auto* win = find(list);
    return win && row >= 0 && row < static_cast<int>(win->marks.size()) && win->marks[row];
}

void comboReset(WindowHandle combo) {
    if (auto* win = find(combo)) {
        win->rows.clear();
        win->comboSelection = -1;
    }
}

void comboAdd(WindowHandle combo, const char16_t* text) {
    if (auto* win = find(combo))
        win->rows.push_back(text);
}

void comboSelect(WindowHandle combo, int index) {
    if (auto* win = find(combo))
        win->comboSelection =
            (index >= 0 && index < static_cast<int>(win->rows.size())) ? index : -1;
}

int comboSelection(WindowHandle combo) {
    auto* win = find(combo);
    return win ? win->comboSelection : -1;
}

int monitorCount() {
    return static_cast<int>(desktop().monitors.size());
}

void enumerateMonitors(const std::function<void(const char16_t*, const Rect&)>& visit) {
    for (const auto& m : desktop().monitors)
        visit(m.device.c_str(), m.area);
}

PostResult postKeyDown(WindowHandle w, std::uintptr_t vk, std::intptr_t keyData) {
    return post({w, false, vk, keyData, {}});
}

PostResult postChar(WindowHandle w, char16_t ch, std::intptr_t keyData) {
    return post({w, true, ch, keyData, {}});
}

bool sendRightButton(WindowHandle w, MouseMessage message, unsigned timeoutMs) {
    log(message == MouseMessage::RightDown ? "rightDown" : "rightUp", w, std::to_string(timeoutMs));
    if (!answersWithin(w, timeoutMs))
        return false;
    desktop().mouse.push_back({w, message});
    if (message == MouseMessage::RightUp && find(w)->readsPaste)
        desktop().readers.push_back(w);
    return true;
}

TypedKey typedKey(unsigned vk, unsigned scan) {
    if (desktop().peeked && desktop().keyboardAfterPeek)
        return desktop().keyboardAfterPeek(vk, scan);
    if (desktop().keyboard)
        return desktop().keyboard(vk, scan);
    return {};
}

void warningBox(const char16_t* text, const char16_t* caption) {
    desktop().warnings.push_back({text, caption});
}

bool openClipboard(WindowHandle owner) {
    if (desktop().clipboardBusy || desktop().clipboardOpen)
        return false;
    desktop().clipboardOpen = true;
    desktop().clipboardOpener = owner;
    ++desktop().clipboardOpens;
    return true;
}

void closeClipboard() {
    desktop().clipboardOpen = false;
}

const void* lockClipboardText(std::size_t& bytes) {
    bytes = 0;
    if (!desktop().clipboardOpen || !desktop().hasText)
        return nullptr;
    desktop().clipboardLocked = true;
    const auto& block = desktop().clipboardBlock;
    bytes = block.size() - std::min(block.size(), desktop().bytesBeyondBlock);
    if (desktop().claimedBlockBytes)
        bytes = desktop().claimedBlockBytes;
    return desktop().clipboardBlock.data();
}

void unlockClipboardText() {
    desktop().clipboardLocked = false;
}

bool emptyClipboard() {
    auto& d = desktop();
    if (!d.clipboardOpen)
        return false;  // ERROR_CLIPBOARD_NOT_OPEN
    const WindowHandle opener = d.clipboardOpener;
    d.emptyClipboard();
    d.clipboardOwner = opener;
    return true;
}

WindowHandle clipboardOwner() {
    return desktop().clipboardOwner;
}

void enumerateClipboardFormats(const std::function<void(unsigned)>& visit) {
    auto& d = desktop();
    if (!d.clipboardOpen)
        return;
    if (d.hasText || d.textOffered)
        visit(kUnicodeTextFormat);
    for (const auto& f : d.clipboardFormats)
        visit(f.first);
    for (unsigned f : d.handleFormats)
        visit(f);
}

bool copyClipboardBlock(unsigned format, std::vector<unsigned char>& bytes) {
    auto& d = desktop();
    bytes.clear();
    if (!d.clipboardOpen)
        return false;
    if (format == kUnicodeTextFormat) {
        if (!d.hasText)
            return false;
        const std::size_t size = d.clipboardBlock.size() - d.bytesBeyondBlock;
        bytes.assign(d.clipboardBlock.begin(), d.clipboardBlock.begin() + size);
        return true;
    }
    auto it = d.clipboardFormats.find(format);
    if (it == d.clipboardFormats.end())
        return false;  // none, or a GDI handle that GlobalLock refuses
    bytes = it->second;
    return true;
}

bool setClipboardBlock(unsigned format, const void* bytes, std::size_t size) {
    auto& d = desktop();
    // Allowed to the owner with the clipboard open, or inside WM_RENDERFORMAT.
    if (!d.rendering && !(d.clipboardOpen && d.clipboardOwner == d.clipboardOpener))
        return false;
    ++d.clipboardSequence;
    const auto* data = static_cast<const unsigned char*>(bytes);
    if (format == kUnicodeTextFormat) {
        d.hasText = true;
        d.textOffered = false;
        d.clipboardBlock.assign(data, data + size);
    } else {
        d.clipboardFormats[format].assign(data, data + size);
    }
    return true;
}

bool offerClipboardFormat(unsigned format) {
    auto& d = desktop();
    if (!d.clipboardOpen || d.clipboardOwner != d.clipboardOpener || format != kUnicodeTextFormat)
        return false;
    ++d.clipboardSequence;
    d.textOffered = true;
    return true;
}

unsigned registerClipboardFormat(const char16_t* name) {
    // Registered for the whole session, as Windows keeps them: a fresh
    // desktop of the next test keeps the numbers a process may have cached.
    static std::map<std::u16string, unsigned> known;
    auto it = known.find(name);
    if (it == known.end())
        it = known.emplace(name, 0xC000u + static_cast<unsigned>(known.size())).first;
    return it->second;
}

void handleSentMessages(unsigned timeoutMs) {
    // The readers that were started run now; with none, the time passes.
    if (desktop().readers.empty())
        desktop().clockMs += timeoutMs;
    else
        desktop().runReaders();
}

std::uint64_t tickCount() {
    return desktop().now + desktop().clockMs;
}

PostResult postRightButtonUp(WindowHandle w) {
    log("postRightButtonUp", w);
    auto* win = find(w);
    if (!win)
        return PostResult::WindowGone;
    ++win->postedButtonUps;
    return PostResult::Posted;
}

bool documentsFolder(char16_t* buffer) {
    std::fill(buffer, buffer + 260, u'\0');
    if (!desktop().documentsAvailable)
        return false;
    copyOut(desktop().documents, buffer, 260);
    return true;
}

bool outranksOwnIntegrity(WindowHandle w) {
    ++desktop().integrityLookups;
    during("outranksOwnIntegrity", w);
    auto* win = find(w);
    return !win || win->elevated;  // a process that cannot be opened counts as higher
}

Translation queuedTranslation(WindowHandle) {
    desktop().peeked = true;
    return desktop().queuedTranslation;
}

int imeResultText(WindowHandle w, char16_t* buffer, int capacity) {
    log("imeResultText", w, std::to_string(buffer ? capacity : 0));
    const std::u16string& result = desktop().imeResult;
    if (!buffer || capacity <= 0)
        return static_cast<int>(result.size());
    const int n = std::min<int>(static_cast<int>(result.size()), capacity);
    std::copy(result.begin(), result.begin() + n, buffer);
    return n;
}

bool windowIsHung(WindowHandle w) {
    during("windowIsHung", w);
    auto* win = find(w);
    return win && win->hung && win->hungReported;
}

bool windowAnswers(WindowHandle w, unsigned timeoutMs) {
    during("windowAnswers", w);
    return answersWithin(w, timeoutMs);
}

void showWindowAsync(WindowHandle w, ShowCommand command) {
    log("showWindowAsync", w, std::to_string(command));
    applyShow(handling(w), command);
}

bool setWindowPlacementAsync(WindowHandle w, const Placement& p) {
    log("setWindowPlacementAsync", w, placementArgs(p));
    auto* win = find(w);
    if (!win || win->refusePlacement)
        return false;
    applyPlacement(handling(w), p);
    return true;  // queued
}

void moveToFrontAtAsync(WindowHandle w, int x, int y) {
    log("moveToFrontAtAsync", w, std::to_string(x) + "," + std::to_string(y));
    auto* win = handling(w);
    if (!win)
        return;
    auto& b = win->bounds;
    b = {x, y, x + (b.right - b.left), y + (b.bottom - b.top)};
    settle(win);
    desktop().zOrder.erase(std::remove(desktop().zOrder.begin(), desktop().zOrder.end(), w),
                           desktop().zOrder.end());
    desktop().zOrder.insert(desktop().zOrder.begin(), w);
}

void setWindowBoundsAsync(WindowHandle w, const Rect& r) {
    log("setWindowBoundsAsync", w,
        std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
            std::to_string(r.bottom));
    if (auto* win = handling(w)) {
        win->bounds = r;
        settle(win);
    }
}

void setRedraw(WindowHandle w, bool on) {
    log("setRedraw", w, on ? "1" : "0");
    if (auto* win = find(w))
        win->redraw = on;
}

void redrawNow(WindowHandle w) {
    log("redrawNow", w);
}

unsigned windowDpi(WindowHandle w) {
    auto* win = find(w);
    return win ? win->dpi : 0;
}

bool windowBounds(WindowHandle w, Rect& bounds) {
    auto* win = find(w);
    if (!win)
        return false;
    bounds = win->bounds;
    return true;
}

bool visibleFrameBounds(WindowHandle w, Rect& frame) {
    ++desktop().frameReads;
    auto* win = find(w);
    if (!win || !win->frameReadable)
        return false;
    const Rect& b = win->bounds;
    const Rect& in = win->invisibleBorder;
    frame = {b.left + in.left, b.top + in.top, b.right - in.right, b.bottom - in.bottom};
    return true;
}

KeyStateReset resetKeyboardState(WindowHandle w) {
    log("resetKeyboardState", w);
    auto* win = find(w);
    if (!win)
        return KeyStateReset::WindowGone;
    if (win->elevated)
        return KeyStateReset::Refused;  // ERROR_ACCESS_DENIED
    // Attaching needs nothing of the thread itself: a hung one is reset too.
    win->keyState = {};
    return KeyStateReset::Reset;
}

WindowHandle rootWindow(WindowHandle w) {
    auto* win = find(w);
    if (!win)
        return nullptr;
    while (win->parent) {
        w = win->parent;
        win = find(w);
        if (!win)
            return nullptr;
    }
    return w;
}

bool keyIsDown(unsigned virtualKey) {
    const auto& held = desktop().keysHeld;
    auto it = held.find(virtualKey);
    return it != held.end() && desktop().sleptMs < it->second;
}

std::uint32_t clipboardSequenceNumber() {
    return desktop().clipboardSequence;
}

bool systemFolder(char16_t* buffer) {
    std::fill(buffer, buffer + 260, u'\0');
    const auto& folder = desktop().systemFolder;
    if (folder.empty() || folder.size() >= 260)
        return false;
    copyOut(folder, buffer, 260);
    return true;
}

bool classesRootDefault(const char16_t* key, char16_t* buffer) {
    std::fill(buffer, buffer + 260, u'\0');
    const auto& values = desktop().classesRoot;
    const auto it = values.find(key);
    if (it == values.end() || it->second.empty() || it->second.size() >= 260)
        return false;
    copyOut(it->second, buffer, 260);
    return true;
}

bool workAreaOf(const Rect& area, Rect& workArea) {
    const fake::Monitor* m = monitorOf(area);
    if (!m)
        return false;
    workArea = m->workArea();
    return true;
}

// --- Selection bands ---

namespace {

void unstack(WindowHandle h) {
    auto& z = desktop().zOrder;
    z.erase(std::remove(z.begin(), z.end(), h), z.end());
}

bool isTopmost(WindowHandle h) {
    const auto* win = find(h);
    return win && win->topmost;
}

// Where SetWindowPos puts a window in the z-order, with the system's rules
// for the topmost: HWND_TOP stays within the window's own group, a window
// put below a non-topmost one is no longer topmost, and one put between two
// topmost ones becomes topmost.
void link(WindowHandle h, BandOrder order, WindowHandle after) {
    fake::Window& win = desktop()[h];
    auto& z = desktop().zOrder;
    if (order == BandOrder::Keep || (order == BandOrder::Below && after == h) ||
        (order == BandOrder::NotTopmost && !win.topmost))
        return;
    unstack(h);
    if (order == BandOrder::Below) {
        auto at = std::find(z.begin(), z.end(), after) + 1;
        if (!isTopmost(after))
            win.topmost = false;
        else if (at != z.end() && isTopmost(*at))
            win.topmost = true;
        z.insert(at, h);
        return;
    }
    if (order == BandOrder::Topmost)
        win.topmost = true;
    if (order == BandOrder::NotTopmost)
        win.topmost = false;
    auto at = z.begin();
    if (!win.topmost)
        while (at != z.end() && isTopmost(*at))
            ++at;
    z.insert(at, h);
}

}  // namespace

ShowState windowShowState(WindowHandle w) {
    ++desktop().showStateReads;
    const auto* win = find(w);
    if (!win)
        return {};
    return {true, win->visible, win->placement.showCmd == kShowMinimized};
}

WindowHandle windowAbove(WindowHandle w) {
    const auto& z = desktop().zOrder;
    auto it = std::find(z.begin(), z.end(), w);
    if (it == z.end() || !find(w))
        return nullptr;
    while (it != z.begin())
        if (find(*--it))
            return *it;
    return nullptr;
}

bool windowIsTopmost(WindowHandle w) {
    return isTopmost(w);
}

bool windowIsCloaked(WindowHandle w) {
    const auto* win = find(w);
    return win && win->cloaked;
}

unsigned displayDpi(const Rect& area) {
    // The nearest display: here the one holding most of the area, else the first.
    const fake::Monitor* m = monitorOf(area);
    if (!m && !desktop().monitors.empty())
        m = &desktop().monitors.front();
    return m ? m->dpi : 0;
}

WindowHandle createBandEdge(const char16_t* className) {
    // A new window starts at the top of the z-order, hidden and here disabled.
    const WindowHandle h = desktop().add(className, u"");
    unstack(h);
    link(h, BandOrder::Top, nullptr);
    auto& win = desktop()[h];
    win.visible = false;
    win.enabled = false;
    win.band = true;
    return h;
}

bool paintBandEdge(WindowHandle edge, const Rect& rect, std::uint32_t) {
    auto* win = find(edge);
    if (!win || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    win->bounds = win->painted = rect;
    return true;
}

bool placeBand(const BandEdges& edges, const BandEdgeRects& rects, BandOrder order,
               WindowHandle insertAfter) {
    for (WindowHandle edge : edges)
        if (!find(edge) || (order == BandOrder::Below && !find(insertAfter)))
            return false;
    const bool reversed = desktop().lastEdgeEndsLowest && order == BandOrder::Below;
    for (int n = 0; n < kBandEdges; ++n) {
        const int i = reversed ? kBandEdges - 1 - n : n;
        ++desktop().bandPlacements;
        fake::Window& win = desktop()[edges[i]];
        win.bounds = rects[i];
        win.visible = true;
        link(edges[i], order, insertAfter);
    }
    return true;
}

void hideBand(WindowHandle edge) {
    if (auto* win = find(edge))
        win->visible = false;
}

void destroyBand(WindowHandle edge) {
    if (auto* win = find(edge)) {
        win->exists = false;
        unstack(edge);
    }
}

WindowHandle foregroundWindow() {
    return desktop().foreground;
}

void raiseWindow(WindowHandle w) {
    if (find(w))
        link(w, BandOrder::Top, nullptr);
}

WindowWatch watchWindowChanges(WindowChanged changed) {
    desktop().watcher = changed;
    WindowWatch watch;
    watch.hooks[0] = &desktop().watcher;
    return watch;
}

void stopWatchingWindowChanges(WindowWatch& watch) {
    if (watch.hooks[0])
        desktop().watcher = nullptr;
    watch = {};
}

void startTimer(WindowHandle w, std::uintptr_t id, unsigned ms, unsigned) {
    desktop().timers[{w, id}] = ms;
}

void stopTimer(WindowHandle w, std::uintptr_t id) {
    desktop().timers.erase({w, id});
}

}  // namespace platform
