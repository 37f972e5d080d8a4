#include "archivewriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace bvpack {
namespace {

void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool Collect(const std::filesystem::path& folder, const std::string& prefix,
             std::vector<Member>* members, std::string* error) {
    std::error_code code;
    for (const auto& entry : std::filesystem::directory_iterator(folder, code)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink(code) && entry.is_directory(code)) continue;
        if (entry.is_directory(code)) {
            if (name == ".svn") continue;
            if (!Collect(entry.path(), prefix + name + "/", members, error)) return false;
        } else if (entry.is_regular_file(code)) {
            std::ifstream in(entry.path(), std::ios::binary);
            if (!in) {
                *error = "cannot read " + entry.path().string();
                return false;
            }
            members->push_back(
                Member{prefix + name, std::string((std::istreambuf_iterator<char>(in)),
                                                  std::istreambuf_iterator<char>())});
        }
    }
    if (code) {
        *error = "cannot list " + folder.string() + ": " + code.message();
        return false;
    }
    return true;
}

}  // namespace

bool WriteArchive(const std::vector<Member>& members, const std::string& path, std::string* error) {
    uint64_t directorySize = 8;
    for (const Member& member : members) {
        if (member.name.empty() || member.name.size() > 255) {
            *error = "member name must have 1 to 255 bytes: " + member.name;
            return false;
        }
        directorySize += 1 + member.name.size() + 8;
    }
    std::string out;
    out += "BVPK";
    Put32(out, static_cast<uint32_t>(members.size()));
    uint64_t offset = directorySize;
    for (const Member& member : members) {
        if (offset + member.data.size() > UINT32_MAX) {
            *error = "archive would pass 4 GiB";
            return false;
        }
        out += static_cast<char>(member.name.size());
        out += member.name;
        Put32(out, static_cast<uint32_t>(offset));
        Put32(out, static_cast<uint32_t>(member.data.size()));
        offset += member.data.size();
    }
    for (const Member& member : members)
        out += member.data;

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path;
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (std::fclose(file) != 0 || !written) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool CollectFolder(const std::string& folder, std::vector<Member>* members, std::string* error) {
    if (!std::filesystem::is_directory(folder)) {
        *error = folder + " is not a folder";
        return false;
    }
    if (!Collect(folder, "", members, error)) return false;
    std::sort(members->begin(), members->end(),
              [](const Member& a, const Member& b) { return a.name < b.name; });
    return true;
}

}  // namespace bvpack
