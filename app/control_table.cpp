#include "app/control_table.h"

#include "resources/ids.h"

#include <commctrl.h>

const ControlRow kControls[kControlCount] = {
    {&Controls::commandEdit, L"EDIT", WS_BORDER, WS_EX_CLIENTEDGE, 0, kMain, nullptr, 0, 0, 0, 0,
     kUsesFont | kCueHiddenOnFocus, ControlBehaviour::CommandEdit, L"コマンド入力",
     L"ここにコマンドを入力してください。\nダブルクリックで半透明にもなります。\nAlt+I "
     L"でフォーカスが移動します。",
     200},
    {&Controls::compactButton, L"BUTTON", 0, 0, 0, kMain, L"", 10, 38, 18, 18, 0,
     ControlBehaviour::CompactButton, nullptr, nullptr, 0},
    {&Controls::listTitleLabel, L"STATIC", SS_NOTIFY, 0, 0, kMain, L"PuTTY ウィンドウ一覧", 30, 40,
     150, 20, kUsesFont, ControlBehaviour::ListTitleLabel, nullptr, nullptr, 0},
    {&Controls::filterEdit, L"EDIT", WS_BORDER, WS_EX_CLIENTEDGE, IDC_FILTER_EDIT, kMain, nullptr,
     0, 0, 0, 0, kUsesFont | kCueShownOnFocus, ControlBehaviour::None, L"フィルタリング",
     L"PuTTYウィンドウをフィルタリングできます。\nAlt+F でフォーカスが移動します。", 300},
    {&Controls::windowList, L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY,
     WS_EX_CLIENTEDGE, IDC_WINDOW_LIST, kMain, nullptr, 0, 0, 0, 0, kUsesFont | kRelaysTip,
     ControlBehaviour::WindowList, nullptr,
     L"操作するPuTTYウィンドウを選択してください。\nAlt+A で全選択ができます。", 300},
    {&Controls::invertButton, L"BUTTON", 0, 0, 0, kMain, L"選択を反転", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::InvertButton, nullptr, L"選択状態を反転させることができます。\nAlt+R", 300},
    {&Controls::flashButton, L"BUTTON", 0, 0, 0, kMain, L"点滅", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::FlashButton, nullptr,
     L"選択されているPuTTYウィンドウを点滅させます。\nAlt+B", 300},
    {&Controls::windowOpsGroup, L"BUTTON", BS_GROUPBOX, 0, 0, kMain, L"ウィンドウ操作", 0, 0, 0, 0,
     kUsesFont, ControlBehaviour::WindowOpsGroup, nullptr, nullptr, 0},
    {&Controls::displayCombo, L"COMBOBOX", CBS_DROPDOWNLIST, 0, IDC_GRID_COMBO, kGroup, nullptr, 8,
     18, 115, 100, kUsesFont, ControlBehaviour::None, nullptr,
     L"並べるディスプレイを指定できます。\nAlt+D でフォーカスが移動します。", 300},
    {&Controls::areaCombo, L"COMBOBOX", CBS_DROPDOWNLIST, 0, IDC_GRID_COMBO, kGroup, nullptr, 8, 45,
     115, 100, kUsesFont | kFillsAreas, ControlBehaviour::None, nullptr,
     L"並べる範囲を指定できます。\nAlt+S でフォーカスが移動します。", 300},
    {&Controls::columnsLabel, L"STATIC", 0, 0, 0, kGroup, L"列", 8, 75, 15, 20, kUsesFont,
     ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::columnsEdit, L"EDIT", WS_BORDER | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE, 0, kGroup,
     nullptr, 23, 70, 40, 21, kUsesFont | kGridField, ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::rowsLabel, L"STATIC", 0, 0, 0, kGroup, L"行", 68, 75, 15, 20, kUsesFont,
     ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::rowsEdit, L"EDIT", WS_BORDER | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE, 0, kGroup,
     nullptr, 83, 70, 40, 21, kUsesFont | kGridField, ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::arrangeButton, L"BUTTON", 0, 0, 0, kGroup, L"並べる", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::ArrangeButton, nullptr, L"PuTTYウィンドウを並べます。\nAlt+L", 300},
    {&Controls::hideOthersButton, L"BUTTON", 0, 0, 0, kGroup, L"他を隠す", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::HideOthersButton, nullptr,
     L"選択されていないPuTTYウィンドウを最小化します。\nAlt+H", 300},
    {&Controls::refreshButton, L"BUTTON", 0, 0, 0, kMain, L"PuTTYウィンドウ更新", 0, 0, 0, 0,
     kUsesFont, ControlBehaviour::RefreshButton, nullptr, L"PuTTYウィンドウを更新します。\nF5",
     300},
    {&Controls::helpButton, L"BUTTON", 0, 0, 0, kMain, L"", 0, 0, 0, 0, 0,
     ControlBehaviour::HelpButton, nullptr, nullptr, 0},
    {&Controls::countLabel, L"STATIC", SS_RIGHT, 0, 0, kMain, nullptr, 0, 0, 0, 0,
     kUsesFont | kCountLabel, ControlBehaviour::None, nullptr, nullptr, 0},
};

const wchar_t* const kAreaItems[kAreaItemCount] = {L"画面いっぱい", L"左半分", L"上半分", L"右半分",
                                                   L"下半分"};

void fillControl(HWND control, const ControlRow& row) {
    if (row.extras & (kCueHiddenOnFocus | kCueShownOnFocus))
        SendMessageW(control, EM_SETCUEBANNER, (row.extras & kCueShownOnFocus) ? TRUE : FALSE,
                     reinterpret_cast<LPARAM>(row.cueBanner));
    if (row.extras & kFillsAreas) {
        for (const wchar_t* item : kAreaItems)
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(control, CB_SETCURSEL, 0, 0);
    }
    if (row.extras & kGridField)
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
}

const PlacedControl kPlaced[kPlacedCount] = {
    {&Controls::commandEdit, &MainLayout::commandEdit, kMain},
    {&Controls::filterEdit, &MainLayout::filterEdit, kMain},
    {&Controls::windowList, &MainLayout::windowList, kMain},
    {&Controls::invertButton, &MainLayout::invertButton, kMain},
    {&Controls::flashButton, &MainLayout::flashButton, kMain},
    {&Controls::windowOpsGroup, &MainLayout::windowOpsGroup, kMain},
    {&Controls::arrangeButton, &MainLayout::arrangeButton, kGroup},
    {&Controls::hideOthersButton, &MainLayout::hideOthersButton, kGroup},
    {&Controls::refreshButton, &MainLayout::refreshButton, kMain},
    {&Controls::helpButton, &MainLayout::helpButton, kMain},
    {&Controls::countLabel, &MainLayout::countLabel, kMain},
};
