#include "foundation/file/datafolder.h"

#include <climits>
#include <cstring>
#include <vector>

#include "foundation/file/diskpath.h"
#include "foundation/settingsmap.h"
#include "port/system/shell.h"

namespace {

// The special folder as a full path with a trailing "/"; empty when unavailable.
str SpecialFolder(int id, bool create) {
    char path[MAX_PATH];
    if (create) id |= CSIDL_FLAG_CREATE;
    if (FAILED(SHGetFolderPathA(nullptr, id, nullptr, 0, path))) return str();
    str full = GetFullPath(path);
    if (full.Length() == 0) return str();
    if (full.GetAt(full.Length() - 1) != '/') full += '/';
    return full;
}

// Copies text with its terminator when it fits: 0, else the length it needs.
int CopyOut(const str& text, char* buffer, int size) {
    const int length = static_cast<int>(text.Length());
    if (length + 1 > size) return length;
    std::memcpy(buffer, text.c_str(), static_cast<size_t>(length) + 1);
    return 0;
}

}  // namespace

str GetFullPath(const str& path) {
    std::vector<char> buffer(PATH_MAX);
    DWORD length = GetFullPathNameA(path.c_str(), PATH_MAX, buffer.data(), nullptr);
    if (length == 0 || length >= PATH_MAX) return str();
    return str(buffer.data());
}

int GetUserDataFolder(bool allUsers, const char* gameFolder, char* buffer, int size) {
    if (buffer == nullptr || gameFolder == nullptr) return -1;
    const str base = SpecialFolder(allUsers ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA, true);
    if (base.Length() == 0) return -1;
    const str publisher =
        WithForwardSlashes(TSettingsMap::GetInstance().Get("publisher", "Brisvel")) + "/";
    const str folder = base + publisher + WithForwardSlashes(gameFolder) + "/";
    if (static_cast<int>(folder.Length()) + 1 > size) return static_cast<int>(folder.Length());
    // Both levels are made, so a publisher or game name holding separators works too.
    if (!MakeFoldersOf(folder, base.Length() - 1) || !CanAccess(folder, true)) return -1;
    return CopyOut(folder, buffer, size);
}

int GetDesktopFolder(char* buffer, int size) {
    if (buffer == nullptr) return -1;
    const str desktop = SpecialFolder(CSIDL_DESKTOP, false);
    if (desktop.Length() == 0) return -1;
    return CopyOut(desktop, buffer, size);
}
