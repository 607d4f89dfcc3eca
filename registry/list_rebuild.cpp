#include "registry/list_rebuild.h"

#include "app/app_state.h"

ListRebuild::ListRebuild() {
    AppState& a = app();
    if (a.listRebuilds++ == 0)
        platform::setRedraw(a.controls.windowList, false);
}

ListRebuild::~ListRebuild() {
    AppState& a = app();
    if (--a.listRebuilds == 0) {
        platform::setRedraw(a.controls.windowList, true);
        platform::redrawNow(a.controls.windowList);
    }
}
