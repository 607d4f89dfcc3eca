// Shared set-up for the host tests: a fresh app state over a fresh fake
// desktop, with the main window and its controls created.
#pragma once

#include "app/app_state.h"
#include "platform/fake/fake_desktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
};

// Records of the front end's dialogs, which the host build stands in for.
extern int pasteDialogRuns;
extern std::u16string pasteDialogText;
extern int settingsDialogRuns;
