// The display list: one MonitorRecord per display, in enumeration order,
// shown by device name in displayCombo with the first one selected, or after a
// rebuild the one that was chosen, while it is still there.
#pragma once

void refreshDisplays();
