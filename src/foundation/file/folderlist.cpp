#include "foundation/file/folderlist.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/file/diskpath.h"

void TFolderList::Open(const char* folder) {
    mEntries.clear();
    mNext = 0;
    if (folder == nullptr || *folder == '\0') return;
    std::string path(WithForwardSlashes(folder).c_str());
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return;
    if (path.back() != '/') path += '/';
    while (struct dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        struct stat info;
        if (stat((path + entry->d_name).c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode)) {
            mEntries.push_back(Entry{str(entry->d_name), true});
        } else if (S_ISREG(info.st_mode)) {
            mEntries.push_back(Entry{str(entry->d_name), false});
        }
    }
    closedir(dir);
    std::sort(mEntries.begin(), mEntries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
}

bool TFolderList::Next(str& name, bool* isFolder) {
    while (mNext < mEntries.size()) {
        const Entry& entry = mEntries[mNext++];
        if (isFolder == nullptr && entry.folder) continue;
        name = entry.name;
        if (isFolder != nullptr) *isFolder = entry.folder;
        return true;
    }
    return false;
}
