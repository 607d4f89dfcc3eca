#include "tests/unit/test_support.h"

#include "broadcast/paste.h"
#include "broadcast/paste_offer.h"
#include "registry/selection.h"
#include "registry/discovery.h"
#include "settings/settings_choices.h"

#include <set>

int pasteDialogRuns = 0;
std::u16string pasteDialogText;
int settingsDialogRuns = 0;

// The host build's stand-ins for the front end's modal dialogs.
void runPasteConfirmDialog() {
    ++pasteDialogRuns;
    pasteDialogText = pendingPasteText();
}

void runSettingsDialog() {
    ++settingsDialogRuns;
}

void AppTest::SetUp() {
    fake::reset();
    resetApp();
    pasteDialogRuns = 0;
    pasteDialogText.clear();
    settingsDialogRuns = 0;

    AppState& a = app();
    a.mainWindow = desk().add(u"TILEWICK", u"Tilewick");
    desk().renderFormat = renderPasteFormat;  // the main window's WM_RENDERFORMAT
    Controls& c = a.controls;
    for (auto* control :
         {&c.commandEdit, &c.compactButton, &c.listTitleLabel, &c.filterEdit, &c.windowList,
          &c.invertButton, &c.flashButton, &c.windowOpsGroup, &c.displayCombo, &c.areaCombo,
          &c.columnsLabel, &c.columnsEdit, &c.rowsLabel, &c.rowsEdit, &c.arrangeButton,
          &c.hideOthersButton, &c.refreshButton, &c.helpButton, &c.countLabel})
        *control = desk().add(u"CONTROL", u"", false);
    for (auto* control : {&c.commandEdit, &c.compactButton, &c.listTitleLabel, &c.filterEdit,
                          &c.windowList, &c.invertButton, &c.flashButton, &c.windowOpsGroup,
                          &c.refreshButton, &c.helpButton, &c.countLabel})
        desk()[*control].parent = a.mainWindow;
    for (auto* control : {&c.displayCombo, &c.areaCombo, &c.columnsLabel, &c.columnsEdit,
                          &c.rowsLabel, &c.rowsEdit, &c.arrangeButton, &c.hideOthersButton})
        desk()[*control].parent = c.windowOpsGroup;
    for (const char16_t* area : {u"画面いっぱい", u"左半分", u"上半分", u"右半分", u"下半分"})
        desk()[c.areaCombo].rows.push_back(area);
    desk()[c.areaCombo].comboSelection = 0;
    // The edit raises EN_UPDATE for every change of its text.
    desk()[c.filterEdit].onTextChanged = [] { applyFilter(); };
    desk().calls.clear();
}

platform::WindowHandle AppTest::terminal(const std::u16string& title) {
    return desk().add(u"PuTTY", title);
}

std::vector<std::string> AppTest::rows() {
    std::vector<std::string> out;
    for (const auto& r : desk()[app().controls.windowList].rows)
        out.push_back(fake::narrow(r));
    return out;
}

std::vector<bool> AppTest::marks() {
    return desk()[app().controls.windowList].marks;
}

std::vector<std::string> AppTest::selectedTitles() {
    std::vector<std::string> out;
    for (const auto& r : app().selectedWindows)
        out.push_back(fake::narrow(r.title));
    return out;
}

std::string AppTest::text(platform::WindowHandle control) {
    return fake::narrow(desk()[control].text);
}

void AppTest::typeFilter(const std::u16string& text) {
    platform::setWindowText(app().controls.filterEdit, text.c_str());
}

void AppTest::clickRow(int row) {
    auto& marks = desk()[app().controls.windowList].marks;
    std::fill(marks.begin(), marks.end(), false);
    marks.at(row) = true;
    selectionFromList();
}

void AppTest::ctrlClickRow(int row) {
    auto& marks = desk()[app().controls.windowList].marks;
    marks.at(row) = !marks.at(row);
    selectionFromList();
}

std::vector<platform::WindowHandle> AppTest::discover(const std::vector<std::u16string>& titles) {
    std::vector<platform::WindowHandle> handles;
    for (const auto& t : titles)
        handles.push_back(terminal(t));
    discoverWindows();
    return handles;
}

void AppTest::expectListInvariants() {
    const WindowList& shown = shownWindows();
    std::vector<std::string> titles;
    std::set<platform::WindowHandle> shownHandles;
    for (const auto& r : shown) {
        titles.push_back(fake::narrow(r.title));
        shownHandles.insert(r.handle);
    }
    EXPECT_EQ(rows(), titles) << "row k shows element k of the shown list";
    std::set<platform::WindowHandle> selected;
    for (const auto& r : app().selectedWindows) {
        EXPECT_TRUE(shownHandles.count(r.handle)) << "selected window outside the shown list";
        EXPECT_TRUE(selected.insert(r.handle).second) << "window selected twice";
    }
    const auto m = marks();
    ASSERT_EQ(m.size(), shown.size());
    for (std::size_t k = 0; k < shown.size(); ++k)
        EXPECT_EQ(m[k], selected.count(shown[k].handle) == 1) << "mark of row " << k;
}

std::string AppTest::tag(platform::WindowHandle window) {
    return "w" + std::to_string(reinterpret_cast<std::uintptr_t>(window));
}
