// The filter and the selection: which terminal windows windowList shows and
// which of them every action targets.
//
// Invariants between operations: row k of windowList shows element k of the
// shown list (filteredWindows while the filter text is non-empty, else
// allWindows); every selected handle occurs in the shown list, once; the
// marked rows are exactly the rows whose handle is selected.
#pragma once

#include "registry/window_record.h"

#include <string>

// filteredWindows while the filter text is non-empty, otherwise allWindows.
const WindowList& shownWindows();

void applyFilter();
void selectionFromList();
void selectAll();
void invertSelection();
void refreshWindows();
void updateSelectionState();

// Keeps the selected records whose handle occurs in `reference`, in order.
void pruneSelection(const WindowList& reference);
// Marks row k exactly when the handle of rows[k] is selected.
void markRows(const WindowList& rows);

// The count label's text, "選択ウィンドウ数：  %-3d".
std::u16string countLabelText(std::size_t selected);
