#include "port/window/menu.h"

#include <map>
#include <mutex>
#include <vector>

#include "port/system/lasterror.h"
#include "port/window/messages.h"
#include "port/window/window.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

struct MenuItem {
    UINT id;
    UINT state;
};

struct Menu {
    HWND owner;
    std::vector<MenuItem> items;
};

struct MenuTable {
    std::mutex mutex;
    std::map<uintptr_t, Menu> menus;
    uintptr_t next = 0x000C0010;
};

MenuTable& Table() {
    static MenuTable* table = new MenuTable;
    return *table;
}

std::vector<MenuItem> StandardItems() {
    return {{SC_RESTORE, 0},  {SC_MOVE, 0},           {SC_SIZE, 0}, {SC_MINIMIZE, 0},
            {SC_MAXIMIZE, 0}, {0, 0} /* separator */, {SC_CLOSE, 0}};
}

MenuItem* FindItemLocked(MenuTable& table, HMENU menu, UINT item, BOOL byPosition) {
    auto it = table.menus.find(reinterpret_cast<uintptr_t>(menu));
    if (it == table.menus.end()) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    std::vector<MenuItem>& items = it->second.items;
    if (byPosition) {
        if (item < items.size()) return &items[item];
    } else {
        for (MenuItem& entry : items) {
            if (entry.id == item && item != 0) return &entry;
        }
    }
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return nullptr;
}

}  // namespace

void ResetMenus() {
    MenuTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.menus.clear();
}

void ForgetMenusOf(HWND window) {
    MenuTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (auto it = table.menus.begin(); it != table.menus.end();) {
        it = it->second.owner == window ? table.menus.erase(it) : std::next(it);
    }
}

}  // namespace port

HMENU GetSystemMenu(HWND window, BOOL revert) {
    if ((GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) == 0) return nullptr;
    port::MenuTable& table = port::Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (auto& entry : table.menus) {
        if (entry.second.owner != window) continue;
        if (revert) {
            entry.second.items = port::StandardItems();
            return nullptr;
        }
        return reinterpret_cast<HMENU>(entry.first);
    }
    if (revert) return nullptr;
    uintptr_t handle = table.next;
    table.next += 0x10;
    table.menus[handle] = port::Menu{window, port::StandardItems()};
    return reinterpret_cast<HMENU>(handle);
}

HMENU GetMenu(HWND handle) {
    port::WorldLock lock = port::LockWorld();
    port::Window* window = port::FindLocked(port::World(), handle);
    return window != nullptr && window->parent == nullptr ? window->menu : nullptr;
}

namespace {

// Finds the item with the menus locked and lets change read or write it.
template <typename Info, typename Change>
BOOL WithItem(HMENU menu, UINT item, BOOL byPosition, Info* info, Change change) {
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    port::MenuTable& table = port::Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    port::MenuItem* entry = port::FindItemLocked(table, menu, item, byPosition);
    if (entry == nullptr) return FALSE;
    change(*entry, *info);
    return TRUE;
}

}  // namespace

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info) {
    return WithItem(menu, item, byPosition, info,
                    [](port::MenuItem& entry, const MENUITEMINFOA& in) {
                        if ((in.fMask & MIIM_STATE) != 0) entry.state = in.fState;
                        if ((in.fMask & MIIM_ID) != 0) entry.id = in.wID;
                    });
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info) {
    return WithItem(menu, item, byPosition, info, [](port::MenuItem& entry, MENUITEMINFOA& out) {
        if ((out.fMask & MIIM_STATE) != 0) out.fState = entry.state;
        if ((out.fMask & MIIM_ID) != 0) out.wID = entry.id;
    });
}

int GetMenuItemCount(HMENU menu) {
    port::MenuTable& table = port::Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.menus.find(reinterpret_cast<uintptr_t>(menu));
    if (it == table.menus.end()) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return static_cast<int>(it->second.items.size());
}
