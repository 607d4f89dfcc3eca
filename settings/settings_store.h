// SettingsStore: "twk.ini" in the user's Documents folder, section "BASE".
#pragma once

#include "settings/settings.h"

#include <string>

// "<Documents>\<fileName>" into a 260-unit buffer. When the whole path does
// not fit, the buffer is left empty and the result is false: a cut path
// would name another file.
bool buildDocumentsPath(const char16_t* fileName, char16_t* path /* 260 units */);
// "<folder>\<fileName>" by the same rule.
bool joinPath(const char16_t* folder, const char16_t* fileName, char16_t* path /* 260 units */);

// "TRUE" in any letter case is on; everything else is off.
bool readsAsTrue(const char16_t* value);

// The section body a save writes: three lines separated by CR LF, ended by
// the double NUL the section write reads up to.
std::u16string settingsSectionBody(const Settings& settings);

namespace SettingsStore {
// Builds the settings path and reads the three settings into the app state.
void load();
// Replaces section "BASE" with the given values. The result is not examined.
void save(bool pasteConfirm, bool forcePaste, int alpha);
}  // namespace SettingsStore
