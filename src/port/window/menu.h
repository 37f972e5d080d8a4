// The system menu of a window, kept only as a record: its items (Restore, Move, Size,
// Minimize, Maximize, a separator, Close) and their states, which SetMenuItemInfoA changes and
// GetMenuItemInfoA reads back. Nothing shows it and WM_INITMENUPOPUP never comes. Windows have
// no menu bars here: GetMenu answers the menu given at creation, normally none.
#pragma once

#include "port/win32types.h"

constexpr UINT MIIM_STATE = 0x00000001;
constexpr UINT MIIM_ID = 0x00000002;
constexpr UINT MFS_GRAYED = 0x00000003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_ENABLED = 0x00000000;

struct MENUITEMINFOA {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    char* dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
};

// The window's system menu (null without WS_SYSMENU); revert puts its items back and answers
// null.
HMENU GetSystemMenu(HWND window, BOOL revert);
HMENU GetMenu(HWND window);
// item: a command id, or a position when byPosition. FALSE (ERROR_MENU_ITEM_NOT_FOUND) for an
// item that is not there. Only MIIM_STATE and MIIM_ID are kept.
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info);
int GetMenuItemCount(HMENU menu);
