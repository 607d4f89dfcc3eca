#include "registry/selection.h"

#include "app/app_state.h"
#include "arrange/grid.h"
#include "platform/bounded_text.h"
#include "registry/discovery.h"
#include "registry/title_filter.h"

#include <unordered_set>

namespace {

using HandleSet = std::unordered_set<platform::WindowHandle>;

// Membership by handle through a set keeps filtering linear in the number
// of windows; the lists themselves keep their order.
HandleSet handlesOf(const WindowList& list) {
    HandleSet set;
    set.reserve(list.size());
    for (const WindowRecord& r : list)
        set.insert(r.handle);
    return set;
}

bool filterActive() {
    return platform::windowTextLength(app().controls.filterEdit) > 0;
}

}  // namespace

const WindowList& shownWindows() {
    return filterActive() ? app().filteredWindows : app().allWindows;
}

void pruneSelection(const WindowList& reference) {
    const HandleSet present = handlesOf(reference);
    auto& selected = app().selectedWindows;
    WindowList kept;
    kept.reserve(selected.size());
    for (const WindowRecord& r : selected)
        if (present.count(r.handle))
            kept.push_back(r);
    selected.swap(kept);
}

void markRows(const WindowList& rows) {
    const HandleSet selected = handlesOf(app().selectedWindows);
    const auto list = app().controls.windowList;
    for (std::size_t k = 0; k < rows.size(); ++k)
        platform::listSetMark(list, static_cast<int>(k), selected.count(rows[k].handle) != 0);
}

void applyFilter() {
    AppState& a = app();
    platform::listReset(a.controls.windowList);
    if (!filterActive()) {
        for (const WindowRecord& r : a.allWindows)
            platform::listAdd(a.controls.windowList, r.title);
        markRows(a.allWindows);
        updateSelectionState();
        return;
    }
    a.filteredWindows.clear();
    char16_t filter[kFilterUnits] = {};
    platform::windowText(a.controls.filterEdit, filter, kFilterUnits);
    lowerAscii(filter);
    for (const WindowRecord& r : a.allWindows) {
        if (titleMatches(r.title, filter)) {
            platform::listAdd(a.controls.windowList, r.title);
            a.filteredWindows.push_back(r);
        }
    }
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
    platform::listSetMark(a.controls.windowList, -1, true);
    const WindowList& shown = shownWindows();
    const int rows = platform::listCount(a.controls.windowList);
    a.selectedWindows.clear();
    for (int k = 0; k < rows && static_cast<std::size_t>(k) < shown.size(); ++k)
        a.selectedWindows.push_back(shown[k]);
    updateSelectionState();
}

void invertSelection() {
    AppState& a = app();
    const HandleSet old = handlesOf(a.selectedWindows);
    const WindowList& shown = shownWindows();
    WindowList fresh;
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const bool wasSelected = old.count(shown[k].handle) != 0;
        if (!wasSelected)
            fresh.push_back(shown[k]);
        platform::listSetMark(a.controls.windowList, static_cast<int>(k), !wasSelected);
    }
    a.selectedWindows.swap(fresh);
    updateSelectionState();
    platform::setFocus(a.controls.commandEdit);
}

void refreshWindows() {
    AppState& a = app();
    // Raises EN_UPDATE, so applyFilter runs nested here; what follows rebuilds everything anyway.
    platform::setWindowText(a.controls.filterEdit, u"");
    a.allWindows.clear();
    a.outranksUs.clear();
    discoverWindows();
    pruneSelection(a.allWindows);
    markRows(a.allWindows);
    updateSelectionState();
    platform::setFocus(a.controls.commandEdit);
}

std::u16string countLabelText(std::size_t selected) {
    BoundedText<100> label;
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
    platform::setWindowText(c.countLabel, countLabelText(a.selectedWindows.size()).c_str());
}
