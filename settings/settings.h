// The three settings kept in "twk.ini".
#pragma once

struct Settings {
    int alpha = 60;
    bool pasteConfirm = true;
    bool forcePaste = true;  // stored and read, without effect
};
