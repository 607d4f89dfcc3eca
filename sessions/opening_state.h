// What Tilewick keeps while PuTTY sessions it started come up, and which
// windows earlier opens of this run made.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct StartedSession {
    std::u16string name;
    platform::Process process;
    platform::WindowHandle window = nullptr;  // once its "PuTTY" window has a caption
    bool exited = false;
};

struct OpeningState {
    // From OK (or Alt+1..9) until every started session has its window, has
    // exited, or the time is up; opening again meanwhile starts nothing.
    bool waiting = false;
    std::uint64_t deadline = 0;
    bool arrange = true;
    // The sessions to select afterwards, in the dialog's list order.
    std::vector<std::u16string> order;
    std::vector<StartedSession> started;
    // Sessions that will not come, each "[reason] name", for the one warning.
    std::vector<std::u16string> failures;
    // Each session's window from an earlier open of this run, by name.
    std::map<std::u16string, platform::WindowHandle> windows;
};
