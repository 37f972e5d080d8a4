#include "foundation/file/regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

const char* SpecialFileKind(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    return "a device";
}

int OpenRegularFile(const char* path, int flags, const char** kind, mode_t mode) {
    *kind = nullptr;
    int fd;
    do {
        fd = open(path, flags | O_NONBLOCK | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    struct stat info;
    if (fd < 0) {
        // Sockets never open, nor a pipe nobody reads for writing, nor a folder for writing.
        const int error = errno;
        if (stat(path, &info) == 0) *kind = SpecialFileKind(info.st_mode);
        errno = error;
        return -1;
    }
    if (fstat(fd, &info) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    *kind = SpecialFileKind(info.st_mode);
    // Reads and writes of a regular file wait as they always do.
    if (*kind != nullptr || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}
