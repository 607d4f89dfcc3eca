#include "settings/settings_choices.h"

#include "app/app_state.h"
#include "app/view_state.h"
#include "settings/settings_store.h"

#include <algorithm>

int sliderPosition(int storedAlpha) {
    return std::clamp(storedAlpha, 0, 255);
}

void previewAlpha(int position) {
    platform::setLayeredAlpha(app().mainWindow,
                              static_cast<std::uint8_t>(sliderPosition(position)));
}

void acceptSettings(bool pasteConfirm, int position) {
    Settings& s = app().settings;
    s.pasteConfirm = pasteConfirm;
    s.forcePaste = false;  // the dialog has no control for it
    s.alpha = sliderPosition(position);
    SettingsStore::save(s.pasteConfirm, s.forcePaste, s.alpha);
    platform::setLayeredAlpha(app().mainWindow, kOpaqueAlpha);
}

void cancelSettings() {
    platform::setLayeredAlpha(app().mainWindow, kOpaqueAlpha);
}
