#include "registry/selection.h"

#include "app/app_state.h"
#include "arrange/bands.h"
#include "arrange/grid.h"
#include "platform/bounded_text.h"
#include "registry/discovery.h"
#include "registry/handle_set.h"
#include "registry/list_rebuild.h"
#include "registry/title_filter.h"

namespace {

constexpr int kLabelUnits = 100;

bool filterActive() {
    return platform::windowTextLength(app().controls.filterEdit) > 0;
}

}  // namespace

const WindowList& shownWindows() {
    return filterActive() ? app().filteredWindows : app().allWindows;
}

void pruneSelection(const WindowList& reference) {
    const HandleSet present(reference);
    auto& selected = app().selectedWindows;
    // In place, keeping the order: what stays moves up over what leaves.
    std::size_t kept = 0;
    for (std::size_t k = 0; k < selected.size(); ++k) {
        if (!present.contains(selected[k].handle))
            continue;
        if (kept != k)
            assignAt(selected, kept, selected[k]);
        ++kept;
    }
    selected.erase(selected.begin() + static_cast<std::ptrdiff_t>(kept), selected.end());
}

void markRows(const WindowList& rows) {
    const ListRebuild rebuild;
    const HandleSet selected(app().selectedWindows);
    const auto list = app().controls.windowList;
    for (std::size_t k = 0; k < rows.size(); ++k)
        platform::listSetMark(list, static_cast<int>(k), selected.contains(rows[k].handle));
}

void applyFilter() {
    AppState& a = app();
    if (a.emptyingFilter)
        return;
    const ListRebuild rebuild;
    platform::listReset(a.controls.windowList);
    if (!filterActive()) {
        for (const WindowRecord& r : a.allWindows)
            platform::listAdd(a.controls.windowList, r.title);
        markRows(a.allWindows);
        updateSelectionState();
        return;
    }
    char16_t filter[kFilterUnits] = {};
    platform::windowText(a.controls.filterEdit, filter, kFilterUnits);
    lowerAscii(filter);
    // filteredWindows is rebuilt over its old records, then cut to the matches.
    std::size_t matched = 0;
    for (const WindowRecord& r : a.allWindows) {
        if (titleMatches(r.title, filter)) {
            platform::listAdd(a.controls.windowList, r.title);
            assignAt(a.filteredWindows, matched++, r);
        }
    }
    a.filteredWindows.erase(a.filteredWindows.begin() + static_cast<std::ptrdiff_t>(matched),
                            a.filteredWindows.end());
    pruneSelection(a.filteredWindows);
    markRows(a.filteredWindows);
    updateSelectionState();
}

void selectionFromList() {
    AppState& a = app();
    const WindowList& shown = shownWindows();
    a.selectedWindows.clear();
    const int rows = platform::listCount(a.controls.windowList);
    for (int k = 0; k < rows; ++k)
        // A row beyond the shown list cannot arise while the invariants hold; skip it if it does.
        if (platform::listIsMarked(a.controls.windowList, k) &&
            static_cast<std::size_t>(k) < shown.size())
            a.selectedWindows.push_back(shown[k]);
    updateSelectionState();
}

void selectAll() {
    AppState& a = app();
    {
        const ListRebuild rebuild;
        platform::listSetMark(a.controls.windowList, -1, true);
    }
    const WindowList& shown = shownWindows();
    const int rows = platform::listCount(a.controls.windowList);
    a.selectedWindows.clear();
    for (int k = 0; k < rows && static_cast<std::size_t>(k) < shown.size(); ++k)
        a.selectedWindows.push_back(shown[k]);
    updateSelectionState();
}

void invertSelection() {
    AppState& a = app();
    const HandleSet old(a.selectedWindows);
    const WindowList& shown = shownWindows();
    WindowList fresh;
    {
        const ListRebuild rebuild;
        for (std::size_t k = 0; k < shown.size(); ++k) {
            const bool wasSelected = old.contains(shown[k].handle);
            if (!wasSelected)
                fresh.push_back(shown[k]);
            platform::listSetMark(a.controls.windowList, static_cast<int>(k), !wasSelected);
        }
    }
    a.selectedWindows.swap(fresh);
    updateSelectionState();
    platform::setFocus(a.controls.commandEdit);
}

void refreshWindows() {
    AppState& a = app();
    {
        const ListRebuild rebuild;
        // Raises EN_UPDATE; the filter run it would start is left out, for
        // what follows rebuilds the rows and marks from scratch.
        a.emptyingFilter = true;
        platform::setWindowText(a.controls.filterEdit, u"");
        a.emptyingFilter = false;
        a.allWindows.clear();
        a.outranksUs.clear();
        discoverWindows();
        pruneSelection(a.allWindows);
        markRows(a.allWindows);
    }
    updateSelectionState();
    platform::setFocus(a.controls.commandEdit);
}

std::u16string countLabelText(std::size_t selected) {
    BoundedText<kLabelUnits> label;
    label.text(u"選択ウィンドウ数：  ").number(static_cast<long long>(selected), 3);
    return label.str();
}

void updateSelectionState() {
    AppState& a = app();
    const bool enabled = !a.selectedWindows.empty();
    const Controls& c = a.controls;
    for (auto control : {c.displayCombo, c.areaCombo, c.columnsEdit, c.rowsEdit, c.arrangeButton,
                         c.hideOthersButton})
        platform::enableWindow(control, enabled);
    proposeGrid();
    // The label draws itself at once on every new text, and most updates
    // leave the count as it was.
    const std::u16string label = countLabelText(a.selectedWindows.size());
    char16_t shown[kLabelUnits] = {};
    platform::windowText(c.countLabel, shown, kLabelUnits);
    if (label != shown)
        platform::setWindowText(c.countLabel, label.c_str());
    followSelection();
}
