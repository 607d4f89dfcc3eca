#include "arrange/bands.h"

#include "app/app_state.h"
#include "arrange/dpi.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace {

// Window coordinates beyond this are refused or wrapped by the system; a
// terminal that claims to reach further gets its ring cut there, off screen.
constexpr std::int32_t kCoordinateLimit = 32000;

std::int32_t clampCoordinate(std::int32_t v) {
    return std::clamp(v, -kCoordinateLimit, kCoordinateLimit);
}

bool isEmpty(const platform::Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

void hide(TerminalBand& b) {
    if (b.shown)
        for (platform::WindowHandle edge : b.edges)
            platform::hideBand(edge);
    b.shown = false;
}

bool sameSize(const platform::Rect& a, const platform::Rect& b) {
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

// The band's edges, hidden, kept as a spare with what was painted on them
// while spares are short; otherwise destroyed.
void releaseEdges(TerminalBand& b) {
    hide(b);
    std::vector<TerminalBand>& spare = app().bands.spareBands;
    const bool whole = std::all_of(std::begin(b.edges), std::end(b.edges),
                                   [](platform::WindowHandle e) { return e != nullptr; });
    if (whole && spare.size() < kSpareBands) {
        spare.push_back(b);
    } else {
        for (platform::WindowHandle edge : b.edges)
            if (edge)
                platform::destroyBand(edge);
    }
    std::fill(std::begin(b.edges), std::end(b.edges), nullptr);
    b.painted = {};
}

// Each edge holds a surface of its own size: painted when the band is made
// and whenever the ring changes size, never when it only moves.
bool paintEdges(TerminalBand& b, const platform::BandEdgeRects& rects, const platform::Rect& bounds,
                int thickness) {
    if (!isEmpty(b.painted) && sameSize(b.painted, bounds) && b.paintedThickness == thickness)
        return true;
    constexpr std::uint32_t rgb = kBandRed << 16 | kBandGreen << 8 | kBandBlue;
    for (int i = 0; i < platform::kBandEdges; ++i)
        if (!platform::paintBandEdge(b.edges[i], rects[i], rgb)) {
            b.painted = {};
            return false;
        }
    b.painted = bounds;
    b.paintedThickness = thickness;
    return true;
}

// Four new edge windows, or none, so a band is never drawn in part.
bool createEdges(TerminalBand& b) {
    for (platform::WindowHandle& edge : b.edges)
        if (!(edge = platform::createBandEdge(kBandClassName))) {
            releaseEdges(b);
            return false;
        }
    return true;
}

// A spare's edges for the band: the spare painted for its terminal, else one
// painted at the ring's size, else any. False when there is none.
bool takeSpare(TerminalBand& b, const platform::Rect& bounds, int thickness) {
    std::vector<TerminalBand>& spare = app().bands.spareBands;
    auto it = std::find_if(spare.begin(), spare.end(),
                           [&](const TerminalBand& s) { return s.terminal == b.terminal; });
    if (it == spare.end())
        it = std::find_if(spare.begin(), spare.end(), [&](const TerminalBand& s) {
            return !isEmpty(s.painted) && sameSize(s.painted, bounds) &&
                   s.paintedThickness == thickness;
        });
    if (it == spare.end() && !spare.empty())
        it = spare.end() - 1;
    if (it == spare.end())
        return false;
    std::copy(std::begin(it->edges), std::end(it->edges), b.edges);
    b.painted = it->painted;
    b.paintedThickness = it->paintedThickness;
    spare.erase(it);
    return true;
}

// Spare bands for the listed terminals that have no band yet, up to the bound.
std::size_t spareBandsWanted() {
    const AppState& a = app();
    const std::size_t banded = static_cast<std::size_t>(
        std::count_if(a.bands.bands.begin(), a.bands.bands.end(),
                      [](const TerminalBand& b) { return b.edges[0] != nullptr; }));
    const std::size_t unbanded = a.allWindows.size() > banded ? a.allWindows.size() - banded : 0;
    return std::min(unbanded, kSpareBands);
}

void stopStocking() {
    BandState& s = app().bands;
    if (s.stocking && app().mainWindow)
        platform::stopTimer(app().mainWindow, kSpareTimerId);
    s.stocking = false;
}

void updateStocking() {
    BandState& s = app().bands;
    const platform::WindowHandle main = app().mainWindow;
    const bool wanted = main && s.spareBands.size() < spareBandsWanted();
    if (!main || wanted == s.stocking)
        return;
    if (!wanted) {
        stopStocking();
        return;
    }
    platform::startTimer(main, kSpareTimerId, kSpareTickMs, kSpareTickMs);
    s.stocking = true;
}

// Runs while a band may need following, and never while Tilewick is
// minimised; so does the watch on other programs' windows.
void updateTimer() {
    BandState& s = app().bands;
    const bool wanted =
        !s.paused && std::any_of(s.bands.begin(), s.bands.end(),
                                 [](const TerminalBand& b) { return !b.terminalGone; });
    const unsigned ms = !wanted           ? 0
                        : !s.owed.empty() ? kBandCatchUpMs
                        : s.reported      ? kBandQuietTickMs
                                          : kBandTickMs;
    const platform::WindowHandle main = app().mainWindow;
    if (!main || ms == s.timerMs)
        return;
    if (ms && !s.timerMs)
        s.watch = platform::watchWindowChanges(terminalChanged);
    // A tick may come up to half its period late, so the system can wake
    // the processor once for it and other timers: the user sees no difference.
    if (ms)
        platform::startTimer(main, kBandTimerId, ms, ms / 2);
    else
        platform::stopTimer(main, kBandTimerId);
    if (!ms)
        platform::stopWatchingWindowChanges(s.watch);
    s.timerMs = ms;
}

// The frame the user sees: without the invisible resize border where the
// system can tell it, otherwise the window's rectangle. The rectangle is one
// cheap read; the frame costs several under Wine, so it is asked for again
// only when the rectangle changed, or when everything is read afresh.
bool readFrame(TerminalBand& b, bool afresh, platform::Rect& frame) {
    platform::Rect rect;
    if (!platform::windowBounds(b.terminal, rect))
        return false;
    if (!afresh && b.dpi != 0 && rect == b.rect) {
        frame = b.frame;
        return true;
    }
    b.rect = rect;
    if (!platform::visibleFrameBounds(b.terminal, frame))
        frame = rect;
    return true;
}

// One run over some of the bands. Under Wine a window placed below another
// keeps its place on the X screen, and only one that becomes the topmost is
// raised there; terminals activated from another process are raised on the X
// screen without changing places in the z-order Wine reports. So a band is
// raised to the top first and put in its place afterwards: when it is out of
// order, and every band after Tilewick's own actions. The main window, when
// in front, is raised over the bands again.
enum class Restack { Never, OutOfOrder, Always };

struct Pass {
    Restack restack = Restack::OutOfOrder;
    bool broughtUp = false;  // a band was shown or raised: it may cover more than its terminal
    std::size_t mayMake = SIZE_MAX;  // band windows this pass may still make
    std::vector<TerminalBand*> toPlace;
};

// Reads the terminal and brings its band up to date. Only reads that never
// wait on the terminal's thread, and a placement only when something changed.
void follow(TerminalBand& b, bool rereadDpi, Pass& pass) {
    if (b.terminalGone)
        return;
    const platform::ShowState state = platform::windowShowState(b.terminal);
    if (!state.exists) {
        releaseEdges(b);
        b.terminalGone = true;
        return;
    }
    platform::Rect frame;
    // A cloaked terminal is on another virtual desktop: a ring here would
    // frame nothing.
    if (!state.visible || state.minimized || platform::windowIsCloaked(b.terminal) ||
        !readFrame(b, rereadDpi, frame)) {
        hide(b);
        return;
    }
    // The display's DPI, not the terminal's: a terminal unaware of DPI is
    // told 96 on any display. It changes only when the terminal moves.
    if (rereadDpi || b.dpi == 0 || !(frame == b.frame))
        b.dpi = usableDpi(platform::displayDpi(frame));
    b.frame = frame;
    const int thickness = bandThickness(b.dpi);
    const platform::Rect bounds = bandBounds(frame, thickness, app().monitors);
    if (isEmpty(bounds)) {
        hide(b);
        return;
    }
    if (!b.edges[0] && !takeSpare(b, bounds, thickness)) {
        if (pass.mayMake == 0)
            return;  // made on a later poll
        --pass.mayMake;
        if (!createEdges(b))
            return;  // tried again on the next poll
    }
    const platform::WindowHandle above = platform::windowAbove(b.terminal);
    // Wine does not keep four windows placed after the same one in the order
    // they were placed: any edge of the band may end directly above.
    const bool onTerminal =
        above && std::find(std::begin(b.edges), std::end(b.edges), above) != std::end(b.edges);
    if (onTerminal)
        b.above = nullptr;
    // A terminal that turns topmost leaves its place in the z-order, so its
    // flag is read only then, or while the band is topmost itself.
    const bool topmost = (!onTerminal || b.topmost) && platform::windowIsTopmost(b.terminal);
    // A tick accepts the order the system kept after the last placement.
    const bool ordered =
        (onTerminal && b.topmost == topmost) ||
        (pass.restack == Restack::OutOfOrder && b.shown && above && above == b.above);
    const bool lift = pass.restack == Restack::Always ||
                      (pass.restack == Restack::OutOfOrder && !ordered && above);
    if (b.shown && ordered && !lift && bounds == b.bounds && thickness == b.thickness)
        return;
    // HWND_TOP keeps a window in its own group: a band over a topmost terminal
    // must join the topmost ones, and leave them when its terminal does.
    const platform::BandOrder toTop = topmost     ? platform::BandOrder::Topmost
                                      : b.topmost ? platform::BandOrder::NotTopmost
                                                  : platform::BandOrder::Top;
    const platform::BandOrder order = lift      ? toTop
                                      : ordered ? platform::BandOrder::Keep
                                      : above   ? platform::BandOrder::Below
                                                : toTop;
    platform::BandEdgeRects rects;
    bandEdgeRects(bounds, thickness, rects);
    if (paintEdges(b, rects, bounds, thickness) &&
        platform::placeBand(b.edges, rects, order, above)) {
        pass.broughtUp |=
            !b.shown || (order != platform::BandOrder::Keep && order != platform::BandOrder::Below);
        b.shown = true;
        b.bounds = bounds;
        b.thickness = thickness;
        b.topmost = platform::windowIsTopmost(b.edges[0]);
        if (order == platform::BandOrder::Below)
            b.above = above;
        if (lift)
            pass.toPlace.push_back(&b);
    } else {
        b.bounds = {};  // placed again on the next try
    }
}

// Follows the given bands, in order, as one pass.
void followAll(const std::vector<TerminalBand*>& bands, bool rereadDpi, Restack restack,
               std::size_t mayMake = SIZE_MAX) {
    const platform::WindowHandle main = app().mainWindow;
    const bool mainInFront = main && platform::foregroundWindow() == main;
    Pass pass;
    pass.restack = restack;
    pass.mayMake = mayMake;
    for (TerminalBand* b : bands)
        follow(*b, rereadDpi, pass);
    if (pass.broughtUp && mainInFront)
        platform::raiseWindow(main);
    Pass settle;
    settle.restack = Restack::Never;
    for (TerminalBand* b : pass.toPlace)
        follow(*b, false, settle);
}

}  // namespace

int bandThickness(unsigned dpi) {
    return scaleToDpi(kBandThickness96, usableDpi(dpi));
}

platform::Rect bandBounds(const platform::Rect& frame, int thickness,
                          const std::vector<MonitorRecord>& displays) {
    // Cut a thickness beyond the displays: what lies further is never seen,
    // and an edge's surface costs memory for its whole length.
    const platform::Rect everywhere{-kCoordinateLimit, -kCoordinateLimit, kCoordinateLimit,
                                    kCoordinateLimit};
    platform::Rect area = everywhere;
    if (!displays.empty()) {
        area = displays.front().area;
        for (const MonitorRecord& d : displays) {
            area.left = std::min(area.left, d.area.left);
            area.top = std::min(area.top, d.area.top);
            area.right = std::max(area.right, d.area.right);
            area.bottom = std::max(area.bottom, d.area.bottom);
        }
        area = {clampCoordinate(area.left - thickness), clampCoordinate(area.top - thickness),
                clampCoordinate(area.right + thickness), clampCoordinate(area.bottom + thickness)};
        if (area.right < area.left || area.bottom < area.top)
            area = everywhere;  // a display that reads back inverted
    }
    const platform::Rect r{std::clamp(frame.left, area.left, area.right),
                           std::clamp(frame.top, area.top, area.bottom),
                           std::clamp(frame.right, area.left, area.right),
                           std::clamp(frame.bottom, area.top, area.bottom)};
    // A ring needs room for its hole: the terminal must show inside it.
    const long long width = static_cast<long long>(r.right) - r.left;
    const long long height = static_cast<long long>(r.bottom) - r.top;
    if (width <= 2LL * thickness || height <= 2LL * thickness)
        return {};
    return r;
}

void bandEdgeRects(const platform::Rect& r, int t, platform::BandEdgeRects& rects) {
    rects[0] = {r.left, r.top, r.right, r.top + t};
    rects[1] = {r.left, r.bottom - t, r.right, r.bottom};
    rects[2] = {r.left, r.top + t, r.left + t, r.bottom - t};
    rects[3] = {r.right - t, r.top + t, r.right, r.bottom - t};
}

std::size_t pollsPerTick(std::size_t count) {
    return std::min(kMaxPollsPerTick, (count + kTicksPerRound - 1) / kTicksPerRound);
}

void followSelection() {
    AppState& a = app();
    std::vector<TerminalBand>& bands = a.bands.bands;
    std::unordered_map<platform::WindowHandle, std::size_t> old;
    for (std::size_t i = 0; i < bands.size(); ++i)
        old.emplace(bands[i].terminal, i);
    std::vector<TerminalBand> next;
    next.reserve(a.selectedWindows.size());
    std::vector<std::size_t> made;
    for (const WindowRecord& r : a.selectedWindows) {
        auto it = old.find(r.handle);
        if (it != old.end()) {
            next.push_back(bands[it->second]);
            old.erase(it);
        } else {
            made.push_back(next.size());
            TerminalBand b;
            b.terminal = r.handle;
            next.push_back(b);
        }
    }
    for (const auto& gone : old)
        releaseEdges(bands[gone.second]);
    bands = std::move(next);
    a.bands.nextPoll = 0;
    // The bands kept are the ticks' business. New ones show at once, up to a
    // bound: the rest come with the ticks, a few at a time, so selecting a
    // thousand terminals never holds the loop while four thousand windows
    // are made.
    std::vector<TerminalBand*> fresh;
    for (std::size_t i : made)
        if (fresh.size() < kBandsMadeOnSelection)
            fresh.push_back(&bands[i]);
    if (!a.bands.paused)
        followAll(fresh, true, Restack::OutOfOrder);
    updateTimer();
    updateStocking();
}

// The next chunk of the bands owed a full follow: read afresh, and raised
// and put back in place whatever the order looks like.
void catchUp() {
    BandState& s = app().bands;
    const std::size_t n = std::min(kBandsPlacedAtOnce, s.owed.size());
    std::vector<TerminalBand*> chunk;
    for (std::size_t i = 0; i < n; ++i) {
        auto b = std::find_if(s.bands.begin(), s.bands.end(),
                              [&](const TerminalBand& band) { return band.terminal == s.owed[i]; });
        if (b != s.bands.end())  // else deselected meanwhile
            chunk.push_back(&*b);
    }
    s.owed.erase(s.owed.begin(), s.owed.begin() + static_cast<std::ptrdiff_t>(n));
    followAll(chunk, true, Restack::Always);
}

void followNow() {
    BandState& s = app().bands;
    if (s.paused)
        return;
    s.owed.clear();
    for (const TerminalBand& b : s.bands)
        s.owed.push_back(b.terminal);
    catchUp();
    updateTimer();
}

void followTick() {
    BandState& s = app().bands;
    if (s.paused)
        return;
    if (!s.owed.empty()) {
        catchUp();
        updateTimer();
        return;
    }
    const std::size_t count = s.bands.size();
    const std::size_t polls = pollsPerTick(count);
    std::vector<TerminalBand*> share;
    for (std::size_t i = 0; i < polls; ++i)
        share.push_back(&s.bands[(s.nextPoll + i) % count]);
    followAll(share, false, Restack::OutOfOrder, kMaxBandsMadePerTick);
    if (count)
        s.nextPoll = (s.nextPoll + polls) % count;
    updateTimer();
}

void removeBands() {
    BandState& s = app().bands;
    for (TerminalBand& b : s.bands)
        releaseEdges(b);
    s.bands.clear();
    s.owed.clear();
    for (const TerminalBand& spare : s.spareBands)
        for (platform::WindowHandle edge : spare.edges)
            platform::destroyBand(edge);
    s.spareBands.clear();
    s.nextPoll = 0;
    updateTimer();
    stopStocking();
}

void stockSpareBands() {
    BandState& s = app().bands;
    if (s.spareBands.size() < spareBandsWanted()) {
        std::unordered_set<platform::WindowHandle> covered;
        for (const TerminalBand& b : s.bands)
            if (b.edges[0])
                covered.insert(b.terminal);
        for (const TerminalBand& b : s.spareBands)
            covered.insert(b.terminal);
        TerminalBand spare;
        for (const WindowRecord& r : app().allWindows)
            if (!covered.count(r.handle)) {
                spare.terminal = r.handle;
                break;
            }
        if (!createEdges(spare)) {
            // The system makes no more windows now: bands make their own
            // when shown, and the next change of the selection tries again.
            stopStocking();
            return;
        }
        // Painted at its terminal's ring as it is now; a band shown later
        // paints again only if the size changed meanwhile.
        platform::Rect frame;
        if (spare.terminal && readFrame(spare, true, frame)) {
            const int thickness = bandThickness(usableDpi(platform::displayDpi(frame)));
            const platform::Rect bounds = bandBounds(frame, thickness, app().monitors);
            platform::BandEdgeRects rects;
            bandEdgeRects(bounds, thickness, rects);
            if (!isEmpty(bounds))
                paintEdges(spare, rects, bounds, thickness);
        }
        s.spareBands.push_back(spare);
    }
    updateStocking();
}

void terminalChanged(platform::WindowHandle window) {
    BandState& s = app().bands;
    if (s.paused || s.following)
        return;
    std::vector<TerminalBand*> changed;
    for (TerminalBand& b : s.bands)
        if (!b.terminalGone && (!window || b.terminal == window))
            changed.push_back(&b);
    if (changed.empty())
        return;
    // A report about a selected terminal: the system tells of them here.
    s.reported |= window != nullptr;
    s.following = true;
    followAll(changed, false, Restack::OutOfOrder, kMaxBandsMadePerTick);
    s.following = false;
    updateTimer();
}

void pauseBands(bool paused) {
    BandState& s = app().bands;
    if (paused == s.paused)
        return;
    s.paused = paused;
    if (paused) {
        s.owed.clear();
        for (TerminalBand& b : s.bands)
            hide(b);
    }
    updateTimer();
    followNow();
}
