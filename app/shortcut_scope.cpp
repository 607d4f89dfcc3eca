#include "app/shortcut_scope.h"

#include "app/app_state.h"

bool takesShortcuts(platform::WindowHandle target) {
    const platform::WindowHandle main = app().mainWindow;
    return main && platform::rootWindow(target) == main;
}
