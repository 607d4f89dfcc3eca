// Where putty.exe is found, and where Tilewick looked when it is not.
#pragma once

#include <string>
#include <vector>

struct PuttySearch {
    std::u16string found;  // empty when no place had it
    // Every place looked at, in order, for the warning.
    std::vector<std::u16string> looked;
};

// In this order: key "path" of section "PUTTY" in twk.ini (`settingsPath`,
// may be empty); beside Tilewick.exe; each folder on PATH; "PuTTY\putty.exe"
// under %ProgramW6432%, %ProgramFiles% and %ProgramFiles(x86)%.
PuttySearch findPutty(const char16_t* settingsPath);

// The one warning when none had it: where Tilewick looked, and the key to set.
std::u16string puttyMissingText(const PuttySearch& search);
