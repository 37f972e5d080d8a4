// The real folders behind the file layer's data prefixes, found through the shell's special
// folders: the per-user and shared data folders of the program (under the publisher's folder)
// and the desktop. The application hands them to the file index as roots at start-up.
//
// Paths use "/" throughout; a folder comes back with a trailing "/". Any thread may call these.
#pragma once

#include "foundation/str.h"

// The absolute, normalised form of a path; empty on failure.
str GetFullPath(const str& path);

// Makes and gives <application data>/<publisher>/<gameFolder>/, the application data folder being
// the current user's, or the one shared by all users. The publisher is the setting "publisher"
// ("Brisvel" when absent). When the result and its terminator do not fit in size bytes, answers
// the result's length and makes nothing; otherwise fills buffer and answers 0. Answers -1 for a
// null buffer or name, when the application data folder is unavailable, or when the folders
// cannot be made.
int GetUserDataFolder(bool allUsers, const char* gameFolder, char* buffer, int size);

// The desktop folder with a trailing "/": 0 when it fits in buffer, the length needed when it
// does not, -1 for a null buffer or when there is no desktop folder.
int GetDesktopFolder(char* buffer, int size);
