// Every numeric identifier of Tilewick's resources and commands, grouped by
// kind. Plain macros, because the resource compiler reads this file too.
#pragma once

// --- Strings -----------------------------------------------------------------
#define IDS_APP_TITLE 103     // "Tilewick"
#define IDS_WINDOW_CLASS 109  // "TILEWICK"

// --- Icons -------------------------------------------------------------------
#define IDI_TILEWICK 107
#define IDI_TILEWICK_SMALL 108

// --- Accelerator table ---------------------------------------------------------
#define IDR_ACCELERATORS 109

// --- Dialogs -------------------------------------------------------------------
#define IDD_ABOUT 103
#define IDD_PASTE_CONFIRM 106
#define IDD_SETTINGS 113
#define IDD_OPEN_SESSIONS 120

// --- Dialog controls -------------------------------------------------------------
#define IDC_PASTE_TEXT 111
#define IDC_PASTE_CONFIRM_CHECK 114
#define IDC_ALPHA_SLIDER 115
#define IDC_ALPHA_VALUE 116
// The open-sessions dialog.
#define IDC_SESSION_FILTER 1201
#define IDC_SESSION_LIST 1202
#define IDC_GROUP_COMBO 1203
#define IDC_GROUP_SAVE 1204
#define IDC_GROUP_DELETE 1205
#define IDC_ARRANGE_AFTER_OPEN 1206
#define IDC_SESSION_NOTE 1207  // how many sessions there are, or that there are none

// --- PNG pictures (resource type "PNG") --------------------------------------------
#define IDP_CHEVRON_UP 4001
#define IDP_CHEVRON_DOWN 4002
#define IDP_HELP 4003
// The same three rendered larger for scaled displays: 100 apart per size,
// 20, 24, 32 and 48 pixels (125, 150, 200 and 300 %).
#define IDP_SIZE_STEP 100
#define IDP_CHEVRON_UP_20 4101
#define IDP_CHEVRON_DOWN_20 4102
#define IDP_HELP_20 4103
#define IDP_CHEVRON_UP_24 4201
#define IDP_CHEVRON_DOWN_24 4202
#define IDP_HELP_24 4203
#define IDP_CHEVRON_UP_32 4301
#define IDP_CHEVRON_DOWN_32 4302
#define IDP_HELP_32 4303
#define IDP_CHEVRON_UP_48 4401
#define IDP_CHEVRON_DOWN_48 4402
#define IDP_HELP_48 4403

// --- Main window control ids ------------------------------------------------------
#define IDC_FILTER_EDIT 2000
#define IDC_WINDOW_LIST 2001
#define IDC_GRID_COMBO 2002  // displayCombo and areaCombo share it

// --- Commands (accelerators, system menu) ------------------------------------------
#define IDM_ABOUT 104
#define IDM_OPTIONS 112
#define IDM_TOGGLE_HINTS 2999
#define IDM_REFRESH 3000
#define IDM_SELECT_ALL 3001
#define IDM_FLASH 3002
#define IDM_FOCUS_DISPLAY 3003
#define IDM_TOGGLE_COMPACT 3004
#define IDM_FOCUS_FILTER 3005
#define IDM_HIDE_OTHERS 3006
#define IDM_FOCUS_COMMAND 3007
#define IDM_ARRANGE 3008
#define IDM_INVERT 3010
#define IDM_FOCUS_AREA 3011
#define IDM_TOGGLE_TRANSLUCENCY 3012
#define IDM_PASTE 3013
// 3020..3024: Alt+Numpad 5, 4, 8, 6, 2; 3025..3029: Alt+Enter, Left, Up, Right, Down
#define IDM_AREA_FIRST 3020
#define IDM_AREA_LAST 3029
#define IDM_SETTINGS 3030
#define IDM_OPEN_SESSIONS 3031  // Alt+N, and a system-menu item
// 3041..3049: Alt+1..Alt+9 open the first to ninth group
#define IDM_GROUP_FIRST 3041
#define IDM_GROUP_LAST 3049

// --- Hot key ---------------------------------------------------------------------------
#define IDH_RESTORE 5000
