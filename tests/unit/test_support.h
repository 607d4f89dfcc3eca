// Shared set-up for the host tests: a fresh app state over a fresh fake
// desktop, with the main window and its controls created.
#pragma once

#include "app/app_state.h"
#include "platform/fake/fake_desktop.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace platform {
// Readable rectangles in test failures.
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace platform

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;

    fake::Desktop& desk() { return fake::desktop(); }
    // A top-level terminal window of class "PuTTY".
    platform::WindowHandle terminal(const std::u16string& title);
    // The rows windowList shows and which of them are marked.
    std::vector<std::string> rows();
    std::vector<bool> marks();
    // Titles of selectedWindows, in order.
    std::vector<std::string> selectedTitles();
    // The text of a control.
    std::string text(platform::WindowHandle control);
    void typeFilter(const std::u16string& text);

    // The user's clicks in the extended-selection list: a plain click marks
    // only `row`, a Ctrl-click toggles it; then the list raises LBN_SELCHANGE.
    void clickRow(int row);
    void ctrlClickRow(int row);
    // Discovers the given titles as terminal windows and returns their
    // handles in the order given.
    std::vector<platform::WindowHandle> discover(const std::vector<std::u16string>& titles);
    // Checks the three invariants of the list: rows show the shown list,
    // the selection lies in it without duplicates, marks equal the selection.
    void expectListInvariants();
    // Calls written since the last clearCalls().
    std::vector<std::string> calls() { return desk().calls; }
    void clearCalls() { desk().calls.clear(); }
    // "w<number>", the way the fake writes a handle in its calls.
    static std::string tag(platform::WindowHandle window);
};

// Records of the front end's dialogs, which the host build stands in for.
extern int pasteDialogRuns;
extern std::u16string pasteDialogText;
extern int settingsDialogRuns;
