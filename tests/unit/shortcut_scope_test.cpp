#include "app/shortcut_scope.h"

#include "tests/unit/test_support.h"

namespace {

class ShortcutScopeTest : public AppTest {};

TEST_F(ShortcutScopeTest, OnlyTheMainWindowAndItsControlsTakeShortcuts) {
    const auto main = app().mainWindow;
    // The help viewer and a dialog: top-level windows of the same thread, owned by the main window.
    const auto viewer = desk().add(u"HH Parent", u"Tilewick ヘルプ");
    const auto viewerPane = desk().add(u"HH Child", u"", false);
    desk()[viewerPane].parent = viewer;
    const auto dialog = desk().add(u"#32770", u"Tilewick Setup");
    const auto dialogButton = desk().add(u"Button", u"OK", false);
    desk()[dialogButton].parent = dialog;
    const auto closed = desk().add(u"CONTROL", u"", false);
    desk()[closed].parent = main;
    desk().close(closed);
    const struct {
        const char* name;
        platform::WindowHandle target;
        bool takes;
    } cases[] = {
        {"main window", main, true},
        {"command field", app().controls.commandEdit, true},
        {"combo inside the group", app().controls.displayCombo, true},
        {"help viewer", viewer, false},
        {"a pane of the help viewer", viewerPane, false},
        {"dialog", dialog, false},
        {"a dialog's button", dialogButton, false},
        {"thread message (no window)", nullptr, false},
        {"a window that has closed", closed, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(takesShortcuts(c.target), c.takes) << c.name;
}

}  // namespace
