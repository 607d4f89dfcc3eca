// Runs one of Tilewick's dialog templates modally, owned by the main window.
#pragma once

#include <windows.h>

// `parameter` reaches WM_INITDIALOG's lParam; the result is EndDialog's.
INT_PTR runModalDialog(int templateId, DLGPROC procedure, LPARAM parameter = 0);

// WM_COMMAND of a dialog that ends on OK or on Cancel (Escape and the close
// box arrive as Cancel): runs the matching action and ends the dialog with
// the button's id. FALSE for every other command.
template <typename OnOk, typename OnCancel>
INT_PTR endOnOkOrCancel(HWND dialog, WPARAM wParam, OnOk onOk, OnCancel onCancel) {
    const WORD id = LOWORD(wParam);
    if (id == IDOK)
        onOk();
    else if (id == IDCANCEL)
        onCancel();
    else
        return FALSE;
    EndDialog(dialog, id);
    return TRUE;
}
