#include "app/control_procs.h"

#include "app/app_state.h"
#include "app/controls.h"
#include "app/view_state.h"
#include "arrange/arrange.h"
#include "arrange/grid.h"
#include "arrange/window_actions.h"
#include "broadcast/keys.h"
#include "broadcast/paste.h"
#include "registry/selection.h"
#include "resources/help_file.h"
#include "resources/ids.h"
#include "resources/images.h"

namespace {

struct Subclass {
    HWND control = nullptr;
    WNDPROC previous = nullptr;
    ControlBehaviour behaviour = ControlBehaviour::None;
};

constexpr int kMaxSubclasses = 16;
Subclass subclasses[kMaxSubclasses];
int subclassCount = 0;

// What a behaviour did with a message: finished it, or hand it on.
struct Outcome {
    bool passOn;
    LRESULT result;
};
constexpr Outcome kPassOn = {true, 0};
constexpr Outcome kDone = {false, 0};

Outcome commandEdit(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        broadcastKeys(wParam, lParam);
        return kDone;
    case WM_CHAR:
        broadcastCharacter(static_cast<char16_t>(wParam), lParam);
        return kDone;
    case WM_IME_COMPOSITION:
        // Composing shows in the edit as usual; the committed text goes to
        // the terminals instead of into the field.
        return broadcastComposition(lParam) ? kDone : kPassOn;
    case WM_KEYUP:
    case WM_DEADCHAR:
    case WM_IME_CHAR:
        return kDone;  // typing never reaches the edit itself
    case WM_LBUTTONDBLCLK:
        toggleTranslucency();
        return kDone;
    case WM_RBUTTONUP:
        broadcastPaste();
        return kDone;
    default:
        return kPassOn;
    }
}

// Buttons act on the left-button release that reaches them, then let the
// button finish its own click handling.
Outcome onRelease(UINT message, void (*action)()) {
    if (message == WM_LBUTTONUP)
        action();
    return kPassOn;
}

Outcome compactButton(HWND button, UINT message) {
    if (message == WM_PAINT)
        paintResourceImage(button, app().compact ? IDP_CHEVRON_DOWN : IDP_CHEVRON_UP, app().dpi);
    return onRelease(message, toggleCompactMode);
}

Outcome windowOpsGroup(UINT message, WPARAM wParam) {
    // Both combo boxes share one id, so either one re-proposes the grid.
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_GRID_COMBO &&
        HIWORD(wParam) == CBN_SELCHANGE)
        proposeGrid();
    return kPassOn;
}

Outcome helpButton(HWND button, UINT message) {
    if (message == WM_PAINT) {
        paintResourceImage(button, IDP_HELP, app().dpi);
        return kDone;
    }
    if (message == WM_LBUTTONUP) {
        // The release is not handed on, so the capture the press took is given back here.
        ReleaseCapture();
        showHelp(static_cast<HWND>(app().mainWindow));
        return kDone;
    }
    return kPassOn;
}

Outcome behave(const Subclass& s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (s.behaviour) {
    case ControlBehaviour::CommandEdit:
        return commandEdit(message, wParam, lParam);
    case ControlBehaviour::CompactButton:
        return compactButton(s.control, message);
    case ControlBehaviour::ListTitleLabel:
        if (message == WM_LBUTTONDBLCLK)
            toggleCompactMode();
        return kPassOn;
    case ControlBehaviour::WindowList:
        if (message == WM_MOUSEMOVE || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP))
            relayToTooltip(s.control, message, wParam, lParam);
        if (message == WM_LBUTTONDBLCLK) {
            raiseSelected();
            return kDone;
        }
        return kPassOn;
    case ControlBehaviour::InvertButton:
        return onRelease(message, invertSelection);
    case ControlBehaviour::FlashButton:
        return onRelease(message, flashSelected);
    case ControlBehaviour::WindowOpsGroup:
        return windowOpsGroup(message, wParam);
    case ControlBehaviour::ArrangeButton:
        return onRelease(message, arrangeWindows);
    case ControlBehaviour::HideOthersButton:
        return onRelease(message, hideOthers);
    case ControlBehaviour::RefreshButton:
        return onRelease(message, refreshWindows);
    case ControlBehaviour::HelpButton:
        return helpButton(s.control, message);
    case ControlBehaviour::None:
        break;
    }
    return kPassOn;
}

// The one replacement procedure: finds the control's behaviour and its
// previous procedure, and hands on whatever the behaviour does not finish.
LRESULT CALLBACK controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    for (int i = 0; i < subclassCount; ++i) {
        const Subclass& s = subclasses[i];
        if (s.control != control)
            continue;
        const Outcome outcome = behave(s, message, wParam, lParam);
        return outcome.passOn ? CallWindowProcW(s.previous, control, message, wParam, lParam)
                              : outcome.result;
    }
    return DefWindowProcW(control, message, wParam, lParam);
}

}  // namespace

void subclassControl(HWND control, ControlBehaviour behaviour) {
    if (!control || subclassCount == kMaxSubclasses)
        return;
    Subclass& s = subclasses[subclassCount++];
    s.control = control;
    s.behaviour = behaviour;
    s.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc)));
}
