#include "app/app_state.h"

namespace {
AppState* state = nullptr;
}

AppState& app() {
    if (!state)
        state = new AppState;  // lives until the process ends
    return *state;
}

void resetApp() {
    delete state;
    state = new AppState;
}
