#include "arrange/arrange.h"

#include "app/app_state.h"
#include "arrange/bands.h"
#include "arrange/frame.h"
#include "arrange/grid.h"
#include "broadcast/key_state.h"
#include "platform/bounded_text.h"

#include <climits>

namespace {

constexpr int kFieldUnits = 64;
constexpr unsigned kSettleMs = 150;

int readGridField(platform::WindowHandle field) {
    char16_t text[kFieldUnits] = {};
    platform::windowText(field, text, kFieldUnits);
    return parseGridNumber(text);
}

void debugPair(const char16_t* prefix, int a, int b) {
    BoundedText<260> line;
    if (prefix)
        line.text(prefix).text(u": ");
    line.number(a).text(u", ").number(b).text(u"\n");
    platform::debugOutput(line.c_str());
}

// Once the windows have settled on their display (the invisible border
// scales with the display's DPI), each window's visible frame is made to
// fill its cell. Where the frame cannot be read the rectangle is the frame,
// and the window already has its cell.
void fitVisibleFrames(
    const std::vector<std::pair<platform::WindowHandle, platform::Rect>>& placed) {
    for (const auto& [window, cell] : placed) {
        platform::Rect bounds, frame;
        if (!platform::windowBounds(window, bounds))
            continue;
        const bool readable = platform::visibleFrameBounds(window, frame);
        const platform::Rect border = invisibleBorder(bounds, readable ? &frame : nullptr);
        if (!(border == platform::Rect{}))
            platform::setWindowBoundsAsync(window, growByBorder(cell, border));
    }
}

void takeForegroundBack() {
    platform::sleepMs(kSettleMs);
    platform::setActiveWindow(app().mainWindow);
    platform::setForegroundWindow(app().mainWindow);
    forgetKeyStates();
}

}  // namespace

int parseGridNumber(const char16_t* text) {
    while (*text == u' ' || (*text >= u'\t' && *text <= u'\r'))
        ++text;
    bool negative = false;
    if (*text == u'+' || *text == u'-')
        negative = *text++ == u'-';
    long long value = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text)
        if (value <= INT_MAX)
            value = value * 10 + (*text - u'0');
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(negative ? -value : value);
}

std::vector<platform::Rect> arrangeCells(const ArrangeInput& in) {
    const auto& d = in.display;
    long long x0 = d.left, y0 = d.top;
    long long width = static_cast<long long>(d.right) - d.left;
    long long height = static_cast<long long>(d.bottom) - d.top;
    switch (in.area) {
    case kLeftHalf:
        width /= 2;
        break;
    case kTopHalf:
        height /= 2;
        break;
    case kRightHalf:
        width /= 2;
        x0 = d.left + width;
        break;
    case kBottomHalf:
        height /= 2;
        y0 = d.top + height;
        break;
    default:
        break;
    }

    const long long columns = in.columns;
    long long rows = in.rows;
    if (columns * rows < in.count)
        rows = in.count - columns * rows + 2 * rows;
    if (columns < 1 || rows < 1)
        return {};

    const long long cellW = width / columns;
    const long long cellH = height / rows;
    // Only the cells that receive a window are built: a grid typed as
    // 99999 × 99999 must not allocate ten billion empty ones.
    std::vector<platform::Rect> cells;
    cells.reserve(static_cast<std::size_t>(in.count));
    for (long long k = 0; k < in.count; ++k) {
        const long long col = k % columns, row = k / columns;
        cells.push_back({static_cast<std::int32_t>(x0 + col * cellW),
                         static_cast<std::int32_t>(y0 + row * cellH),
                         static_cast<std::int32_t>(x0 + (col + 1) * cellW),
                         static_cast<std::int32_t>(y0 + (row + 1) * cellH)});
    }
    return cells;
}

void arrangeWindows() {
    const AppState& a = app();
    const Controls& c = a.controls;
    waitForModifiersUp();
    const int display = platform::comboSelection(c.displayCombo);
    if (display < 0 || static_cast<std::size_t>(display) >= a.monitors.size()) {
        takeForegroundBack();  // no display to tile on: move nothing
        return;
    }
    const platform::Rect area = a.monitors[display].area;
    debugPair(nullptr, area.left, area.top);

    ArrangeInput in;
    in.display = area;
    in.area = platform::comboSelection(c.areaCombo);
    in.columns = readGridField(c.columnsEdit);
    in.rows = readGridField(c.rowsEdit);
    // A copy: activating a terminal lets other messages in, and a refresh or
    // a selection change there must not pull the records from under the loop.
    const WindowList targets = a.selectedWindows;
    in.count = static_cast<int>(targets.size());
    const std::vector<platform::Rect> cells = arrangeCells(in);

    // A placement's normal rectangle counts from the work area's corner. Read
    // at each arrange, as the taskbar may have moved since the displays were
    // listed; a display that has gone leaves nothing to count from but the screen.
    platform::Rect workArea = area;
    platform::workAreaOf(area, workArea);
    std::vector<std::pair<platform::WindowHandle, platform::Rect>> placed;
    // A terminal whose thread has stopped answering would block every
    // synchronous call; the asynchronous forms are queued to its thread
    // instead, and a window the system already reports hung is passed over,
    // its cell left empty, so that it does not jump when it wakes up.
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const WindowRecord& record = targets[i];
        const platform::Rect& cell = cells[i];
        const auto window = record.handle;
        if (platform::windowIsHung(window))
            continue;
        platform::setActiveWindow(window);
        platform::Placement placement;
        platform::getWindowPlacement(window, placement);
        placement.normalPosition = toWorkspace(cell, area, workArea);
        debugPair(record.title, cell.left, cell.top);
        platform::setWindowPlacementAsync(window, placement);
        platform::moveToFrontAtAsync(window, cell.left, cell.top);
        platform::showWindowAsync(window, platform::kRestore);
        // Always, after the restore: Wine refuses SetWindowPlacement on other
        // processes' windows, and a terminal that resized itself for the
        // scale of the display it came to must still end in its cell.
        platform::setWindowBoundsAsync(window, cell);
        platform::setForegroundWindow(window);
        placed.emplace_back(window, cell);
    }
    takeForegroundBack();
    fitVisibleFrames(placed);
    followNow();
}
