#include "app/modal_dialog.h"

#include "app/app_state.h"
#include "platform/win32/win32_text.h"

INT_PTR runModalDialog(int templateId, DLGPROC procedure, LPARAM parameter) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                           hwnd(app().mainWindow), procedure, parameter);
}
