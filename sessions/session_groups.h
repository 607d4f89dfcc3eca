// Named groups of saved sessions, in section "GROUPS" of twk.ini: one key per
// group, its value the sessions' names joined by ",", each name escaped so
// that every unit comes back as it was and the file stays ASCII.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct SessionGroup {
    std::u16string name;
    std::vector<std::u16string> sessions;
};

// "%XX" for "%", ",", quotes, ";", "=", "[", "]", blanks and control units;
// "%uXXXX" for every unit beyond ASCII; the rest as it is.
std::u16string groupValue(const std::vector<std::u16string>& sessions);
// The names back from a value. A "%" that starts no escape stays itself, so
// a value edited by hand still names what it says; empty names are dropped.
std::vector<std::u16string> groupSessions(std::u16string_view value);

// The groups in the file's order. Lines without "=", comments and keys
// repeated later (in any letter case) are passed over, as the profile calls
// read only the first of a key.
std::vector<SessionGroup> loadGroups(const char16_t* settingsPath);

// Why `name` cannot be a key of the file (empty, holding "=", starting with
// "[" or ";"), or nullptr when it can. Blanks around it are dropped first.
const char16_t* groupNameProblem(std::u16string_view name);
std::u16string trimmedGroupName(std::u16string_view name);

// Write or delete one key; the other keys and sections are left as they are.
bool saveGroup(const char16_t* settingsPath, const std::u16string& name,
               const std::vector<std::u16string>& sessions);
bool deleteGroup(const char16_t* settingsPath, const std::u16string& name);
