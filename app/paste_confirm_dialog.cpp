// The paste confirmation dialog (template 106): shows the clipboard text
// with no highlight and no caret; Cancel is the default button.
#include "app/modal_dialog.h"
#include "broadcast/paste.h"
#include "platform/win32/win32_text.h"
#include "resources/ids.h"

namespace {

INT_PTR CALLBACK pasteConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        // Line by line whatever the line ends; a text that cannot be shown is
        // not pasted.
        const std::u16string shown = pendingPasteShown();
        if (shown.empty()) {
            cancelPaste();
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        SetDlgItemTextW(dialog, IDC_PASTE_TEXT, wide(shown.c_str()));
        return TRUE;
    }
    case WM_PAINT: {
        // On every paint, so the text never shows a selection or a caret.
        const HWND text = GetDlgItem(dialog, IDC_PASTE_TEXT);
        SendMessageW(text, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        HideCaret(text);
        return FALSE;
    }
    case WM_COMMAND:
        return endOnOkOrCancel(dialog, wParam, confirmPaste, cancelPaste);
    default:
        return FALSE;
    }
}

}  // namespace

void runPasteConfirmDialog() {
    runModalDialog(IDD_PASTE_CONFIRM, pasteConfirmProc);
}
