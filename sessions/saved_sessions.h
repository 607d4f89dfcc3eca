// PuTTY's saved sessions: one subkey each under
// HKEY_CURRENT_USER\Software\SimonTatham\PuTTY\Sessions, named by PuTTY's
// escaping of the name's bytes in the system's ANSI code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SavedSession {
    // The real name; for a session that cannot be opened, its key as stored.
    std::u16string name;
    // False when the stored key is no escaping PuTTY writes, or its bytes
    // are no text in this system's code page: PuTTY could not be handed the
    // name that leads back to the key.
    bool openable = true;
};

// The name's bytes back from a stored key: "%XX" (hex, either case) is one
// byte, every other unit is itself. Nothing for a "%" without two hex digits
// after it, or a unit beyond ASCII (PuTTY escapes every such byte).
std::optional<std::string> unescapeSessionKey(std::u16string_view key);

// Every saved session but "Default Settings", in title order (UTF-16 code
// units); empty when PuTTY has never saved one.
std::vector<SavedSession> savedSessions();
