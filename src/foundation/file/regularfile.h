// Opening a real path only when it holds a regular file. On Linux an open of a pipe waits for the
// other end, a device reads without end and a folder opens as if it were a file; the program's
// data is never any of these, so every open of a real path goes through here and treats them as
// missing. Nothing here waits: a pipe is opened without waiting and refused.
//
// Any thread; no state.
#pragma once

#include <sys/types.h>

// What stands at a path that is not a regular file, for messages: "a folder", "a pipe",
// "a socket", "a device"; null for a regular file.
const char* SpecialFileKind(mode_t mode);

// Opens path with flags (O_RDONLY, or O_WRONLY with O_CREAT and O_TRUNC or O_APPEND; O_CLOEXEC is
// added) and answers the descriptor, in blocking mode, when it is a regular file. Otherwise -1:
// *kind names what stands there when it is anything but a regular file (whether or not the open
// succeeded), else it is null and errno says why the open failed.
int OpenRegularFile(const char* path, int flags, const char** kind, mode_t mode = 0666);
