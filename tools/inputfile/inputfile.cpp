#include "inputfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace tools {
namespace {

bool Refuse(const std::string& path, const std::string& reason, std::string* error) {
    *error = "cannot read " + path + ": " + reason;
    return false;
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

bool ReadInputFile(const std::string& path, uint64_t limit, std::string* bytes,
                   std::string* error) {
    bytes->clear();
    // Non-blocking, so that naming a pipe with no writer is refused below instead of waiting.
    Descriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) return Refuse(path, std::strerror(errno), error);
    struct stat info;
    if (fstat(file.fd, &info) != 0) return Refuse(path, std::strerror(errno), error);
    if (S_ISDIR(info.st_mode)) return Refuse(path, "it is a folder", error);
    if (!S_ISREG(info.st_mode)) return Refuse(path, "it is not a regular file", error);
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (size > limit) {
        return Refuse(path,
                      "it holds " + std::to_string(size) + " bytes, more than the " +
                          std::to_string(limit) + " this tool reads",
                      error);
    }
    try {
        // The size taken above is what is read: a file that changes meanwhile gives what it held
        // then, or less.
        bytes->resize(static_cast<size_t>(size));
        size_t got = 0;
        while (got < bytes->size()) {
            const ssize_t n = read(file.fd, bytes->data() + got, bytes->size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Refuse(path, std::strerror(errno), error);
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        bytes->resize(got);
    } catch (const std::bad_alloc&) {
        *bytes = std::string();
        return Refuse(path, "not enough memory", error);
    }
    return true;
}

}  // namespace tools
