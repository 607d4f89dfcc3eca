// The settings dialog (template 113): the alpha slider with a live preview
// on the main window, and the paste confirmation check box.
#include "app/app_state.h"
#include "app/modal_dialog.h"
#include "arrange/dpi.h"
#include "platform/bounded_text.h"
#include "platform/win32/win32_text.h"
#include "resources/ids.h"
#include "settings/settings_choices.h"

#include <commctrl.h>
#include <cstddef>

namespace {

constexpr wchar_t kSliderTip[] = L"実際の透明度は本体で確認できます。";
TOOLINFOW sliderTool = {};

void showValue(HWND dialog, int value) {
    BoundedText<64> text;
    SetDlgItemTextW(dialog, IDC_ALPHA_VALUE, wide(text.number(value).c_str()));
}

void attachSliderTooltip(HWND slider) {
    const HWND tip =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, slider, nullptr, nullptr, nullptr);
    sliderTool = {};
    sliderTool.cbSize = offsetof(TOOLINFOW, lpReserved);
    sliderTool.uFlags = TTF_SUBCLASS;
    sliderTool.hwnd = slider;
    GetClientRect(slider, &sliderTool.rect);
    sliderTool.lpszText = const_cast<wchar_t*>(kSliderTip);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&sliderTool));
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0,
                 scaleToDpi(200, usableDpi(platform::windowDpi(GetParent(slider)))));
}

void initialise(HWND dialog) {
    const Settings& s = app().settings;
    if (s.pasteConfirm)
        CheckDlgButton(dialog, IDC_PASTE_CONFIRM_CHECK, BST_CHECKED);
    showValue(dialog, s.alpha);  // the stored value, even outside 0..255
    const HWND slider = GetDlgItem(dialog, IDC_ALPHA_SLIDER);
    SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 255));
    SendMessageW(slider, TBM_SETTICFREQ, 15, 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, sliderPosition(s.alpha));
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 5);
    attachSliderTooltip(slider);
}

int sliderValue(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_ALPHA_SLIDER, TBM_GETPOS, 0, 0));
}

INT_PTR CALLBACK settingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise(dialog);
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_ALPHA_SLIDER)) {
            const int position = sliderValue(dialog);
            showValue(dialog, position);
            previewAlpha(position);
        }
        return FALSE;
    case WM_COMMAND:
        return endOnOkOrCancel(
            dialog, wParam,
            [dialog] {
                acceptSettings(IsDlgButtonChecked(dialog, IDC_PASTE_CONFIRM_CHECK) == BST_CHECKED,
                               sliderValue(dialog));
            },
            cancelSettings);
    default:
        return FALSE;
    }
}

}  // namespace

void runSettingsDialog() {
    runModalDialog(IDD_SETTINGS, settingsProc);
}
