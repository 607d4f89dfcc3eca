#include "app/modal_dialog.h"

#include "app/app_state.h"
#include "platform/win32/win32_text.h"

void runModalDialog(int templateId, DLGPROC procedure) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), hwnd(app().mainWindow),
                    procedure, 0);
}
