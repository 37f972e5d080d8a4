// TFolderList: the entries of one folder, in byte order of their names. Only files and folders
// are listed (a link counts as what it points to; other kinds of entry are passed over), and never
// "." or "..".
//
// One listing belongs to one thread.
#pragma once

#include <vector>

#include "foundation/str.h"

class TFolderList {
public:
    TFolderList() = default;
    ~TFolderList() = default;

    // Ends a listing in progress and starts one of folder ("/" or "\" separated). A null, empty
    // or unreadable folder gives an empty listing.
    void Open(const char* folder);
    // The next entry; false when the listing is over. Without isFolder, folders are passed over;
    // with it, it receives whether the entry is a folder.
    bool Next(str& name, bool* isFolder = nullptr);

private:
    struct Entry {
        str name;
        bool folder;
    };
    std::vector<Entry> mEntries;
    size_t mNext = 0;
};
