#include "foundation/file/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "foundation/file/file.h"
#include "foundation/file/regularfile.h"
#include "port/failinjection.h"

namespace {

constexpr int kMostBackups = 99;

std::string Describe(const std::string& step, int error) {
    return step + ": " + std::strerror(error);
}

// Opens a new file for writing; exclusive refuses an existing one.
int CreateForWriting(const std::string& path, bool exclusive, mode_t mode) {
    if (port::ShouldFail("CreateFileA")) {
        errno = EIO;
        return -1;
    }
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    int fd;
    do {
        fd = open(path.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        if (port::ShouldFail("WriteFile")) {
            errno = EIO;
            return false;
        }
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool Sync(int fd) {
    if (port::ShouldFail("FlushFileBuffers")) {
        errno = EIO;
        return false;
    }
    return fsync(fd) == 0;
}

// Syncs the folder that holds path, so a rename in it survives a crash. Best effort: some file
// systems cannot sync a folder, and the file itself is safe either way.
void SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// Writes and syncs a file that is already open, then closes it. On failure the file is closed
// and removed.
bool FinishFile(int fd, const std::string& path, const char* data, size_t size,
                std::string& problem) {
    bool ok = WriteAll(fd, data, size);
    if (!ok) problem = Describe("write", errno);
    if (ok && !Sync(fd)) {
        problem = Describe("sync", errno);
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        problem = Describe("close", errno);
        ok = false;
    }
    if (!ok) unlink(path.c_str());
    return ok;
}

// Reads the regular file at path; false with problem set otherwise.
bool ReadWhole(const std::string& path, std::string& bytes, std::string& problem) {
    if (port::ShouldFail("CopyFileA")) {
        problem = Describe("read " + path, EIO);
        return false;
    }
    const char* kind;
    const int fd = OpenRegularFile(path.c_str(), O_RDONLY, &kind);
    if (fd < 0) {
        problem =
            kind != nullptr ? "read " + path + ": it is " + kind : Describe("read " + path, errno);
        return false;
    }
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            problem = Describe("read " + path, errno);
            close(fd);
            return false;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return true;
}

}  // namespace

bool ReplaceFileSafely(const str& path, const char* data, size_t size, std::string& problem) {
    problem.clear();
    std::string target(path.c_str());
    if (target.empty()) {
        problem = "no path";
        return false;
    }
    // A link stays a link: the file it names is the one replaced, in its own folder.
    struct stat old;
    if (lstat(target.c_str(), &old) == 0 && S_ISLNK(old.st_mode)) {
        char* real = realpath(target.c_str(), nullptr);
        if (real != nullptr) {
            target = real;
            std::free(real);
        }
    }
    mode_t mode = 0666;
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed) {
        if (!S_ISREG(old.st_mode)) {
            problem = std::string("it is ") + SpecialFileKind(old.st_mode);
            return false;
        }
        if (access(target.c_str(), W_OK) != 0) {
            problem = "the file may not be written";
            return false;
        }
        mode = old.st_mode & 07777;
    }
    MakeFoldersForWrite(str(target.c_str()));

    // A temporary file left by a save that was cut off goes first: it is only ever made anew, so
    // that nothing standing under its name (a pipe that would never be read, a link) is opened.
    const std::string temporary = target + ".tmp";
    if (unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        problem = Describe("remove " + temporary, errno);
        return false;
    }
    const int fd = CreateForWriting(temporary, true, mode);
    if (fd < 0) {
        problem = Describe("create " + temporary, errno);
        return false;
    }
    // The umask applied at creation; a file that stood there before keeps its own mode, while a
    // new one keeps what the umask allows.
    if (existed) fchmod(fd, mode);
    if (!FinishFile(fd, temporary, data, size, problem)) return false;
    const bool injected = port::ShouldFail("MoveFileExA");
    if (injected || rename(temporary.c_str(), target.c_str()) != 0) {
        problem = Describe("rename", injected ? EIO : errno);
        unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(target);
    return true;
}

str BackupFile(const str& path, std::string& problem) {
    problem.clear();
    const std::string source(path.c_str());
    std::string bytes;
    if (!ReadWhole(source, bytes, problem)) return str();
    struct stat old;
    const mode_t mode = stat(source.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0666;
    for (int n = 1; n <= kMostBackups; ++n) {
        std::string backup = source + ".bak";
        if (n > 1) backup += std::to_string(n);
        const int fd = CreateForWriting(backup, true, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            problem = Describe("create " + backup, errno);
            return str();
        }
        if (!FinishFile(fd, backup, bytes.data(), bytes.size(), problem)) return str();
        SyncFolderOf(backup);
        return str(backup.c_str());
    }
    problem = "every backup name is taken";
    return str();
}
