// The display list: one MonitorRecord per display, in enumeration order,
// shown by device name in displayCombo with the first one selected.
#pragma once

void refreshDisplays();
