// Opening saved sessions: PuTTY started once per session, then, without
// holding the loop, a timer follows them until their windows are up; then
// the list is rebuilt, exactly what opened is selected, and it is tiled.
#pragma once

#include "sessions/saved_sessions.h"

#include <string>
#include <vector>

// WM_TIMER id of the main window's timer while sessions come up, and how
// often it looks.
constexpr unsigned kOpeningTimerId = 2;
constexpr unsigned kOpeningTickMs = 50;
// The longest Tilewick waits for all of them together.
constexpr unsigned kOpeningLimitMs = 20000;

// Starts the chosen sessions (in the dialog's list order). `missing` are
// names a group holds that no saved session has: named in the warning.
// Does nothing while an earlier open is still waiting.
void openSessions(const std::vector<SavedSession>& chosen,
                  const std::vector<std::u16string>& missing, bool arrange);
// The group at `index` of the file's order (Alt+1..9), as choosing it in the
// dialog and pressing OK would open it.
void openGroup(std::size_t index);
// Whether an open is under way.
bool openingUnderWay();
// One timer tick: looks for the started sessions' windows, and ends the
// wait when all are accounted for or the time is up.
void followOpening();
