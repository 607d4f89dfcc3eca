// Hide the others, flash the selected, raise the selected.
#pragma once

void hideOthers();
void flashSelected();
void raiseSelected();
