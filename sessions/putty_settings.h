// Section "PUTTY" of twk.ini: where putty.exe is ("path", set by hand) and
// whether opened sessions are arranged ("arrange", the dialog's check box).
// Kept out of "BASE", which the settings dialog rewrites whole.
#pragma once

#include <string>

// The value of "path", blanks and quotes around it dropped; empty when unset.
std::u16string configuredPuttyPath(const char16_t* settingsPath);
// "arrange": on when unset or "TRUE" in any letter case, as the check box starts.
bool arrangeAfterOpening(const char16_t* settingsPath);
void rememberArrangeAfterOpening(const char16_t* settingsPath, bool arrange);
