#include "foundation/file/diskpath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a);
        unsigned char y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
        if (x != y) return false;
    }
    return *a == *b;
}

// The entry of folder whose name equals name ignoring case; the first in byte order when several
// do. Empty when none does.
std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return std::string();
    std::string best;
    while (struct dirent* entry = readdir(dir)) {
        if (SameIgnoringCase(entry->d_name, name.c_str()) &&
            (best.empty() || std::strcmp(entry->d_name, best.c_str()) < 0)) {
            best = entry->d_name;
        }
    }
    closedir(dir);
    return best;
}

}  // namespace

str WithForwardSlashes(const str& path) {
    if (path.FindChar('\\') == str::npos) return path;
    std::string text(path.c_str());
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    return str(text.c_str());
}

str MatchDiskCase(const str& base, const str& relative) {
    if (relative.Length() == 0) return base;
    std::string joined(base.c_str());
    if (!joined.empty() && relative.Length() > 0 && joined.back() != '/') joined += '/';
    joined += relative.c_str();
    if (Exists(joined)) return str(joined.c_str());

    std::string done(base.c_str());
    std::string rest(relative.c_str());
    if (done.empty() && !rest.empty() && rest[0] == '/') {
        done.assign(1, '/');
        rest.erase(0, 1);
    }
    size_t position = 0;
    while (position <= rest.size()) {
        size_t slash = rest.find('/', position);
        if (slash == std::string::npos) slash = rest.size();
        std::string component = rest.substr(position, slash - position);
        std::string folder = done;
        if (!done.empty() && done.back() != '/') done += '/';
        std::string candidate = done + component;
        if (!component.empty() && component != "." && component != ".." && !Exists(candidate)) {
            std::string match = FindIgnoringCase(folder, component);
            if (match.empty()) {
                // Nothing further down can exist: keep the rest as spelled.
                done += rest.substr(position);
                return str(done.c_str());
            }
            candidate = done + match;
        }
        done = candidate;
        if (slash == rest.size()) break;
        position = slash + 1;
    }
    return str(done.c_str());
}

bool MakeFoldersOf(const str& path, unsigned int start) {
    std::string text(path.c_str());
    for (size_t slash = text.find('/', start); slash != std::string::npos;
         slash = text.find('/', slash + 1)) {
        if (slash == 0) continue;
        std::string folder = text.substr(0, slash);
        if (access(folder.c_str(), F_OK) == 0) continue;
        if (mkdir(folder.c_str(), 0777) != 0 && access(folder.c_str(), F_OK) != 0) return false;
    }
    return true;
}

bool CanAccess(const str& path, bool write) {
    return access(path.c_str(), write ? (R_OK | W_OK) : R_OK) == 0;
}
