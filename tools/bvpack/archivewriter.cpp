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
    std::filesystem::directory_iterator it(folder, code);
    for (; !code && it != std::filesystem::directory_iterator(); it.increment(code)) {
        const std::filesystem::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        // What an entry is, as the asset scan sees it: links count as what they point to, links
        // to folders and links to nothing are passed over. A failed look is not a failed listing.
        std::error_code look;
        const bool link = entry.is_symlink(look);
        if (entry.is_directory(look)) {
            if (link || name == ".svn") continue;
            if (!Collect(entry.path(), prefix + name + "/", members, error)) return false;
        } else if (entry.is_regular_file(look)) {
            std::ifstream in(entry.path(), std::ios::binary);
            if (!in) {
                *error = "cannot read " + entry.path().string();
                return false;
            }
            std::string data((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
            members->push_back(Member{prefix + name, std::move(data)});
        }
    }
    if (code) {
        *error = "cannot list " + folder.string() + ": " + code.message();
        return false;
    }
    return true;
}

}  // namespace

bool LayOut(const std::vector<Extent>& members, std::vector<uint32_t>* offsets,
            std::string* error) {
    uint64_t end = 8;
    for (const Extent& member : members) {
        if (member.nameLength == 0 || member.nameLength > 255) {
            *error = "member names must have 1 to 255 bytes";
            return false;
        }
        end += 1 + member.nameLength + 8;
    }
    offsets->clear();
    for (const Extent& member : members) {
        // Checked one member at a time, so the sum cannot wrap.
        if (end > kLargestArchive || member.dataSize > kLargestArchive - end) {
            *error = "the archive would pass 2 GiB";
            return false;
        }
        offsets->push_back(static_cast<uint32_t>(end));
        end += member.dataSize;
    }
    return true;
}

bool WriteArchive(const std::vector<Member>& members, const std::string& path, std::string* error) {
    std::vector<Extent> extents;
    for (const Member& member : members) {
        if (member.name.empty() || member.name.size() > 255) {
            *error = "member name must have 1 to 255 bytes: " + member.name;
            return false;
        }
        extents.push_back(Extent{member.name.size(), member.data.size()});
    }
    std::vector<uint32_t> offsets;
    if (!LayOut(extents, &offsets, error)) return false;
    std::string out;
    out += "BVPK";
    Put32(out, static_cast<uint32_t>(members.size()));
    for (size_t i = 0; i < members.size(); ++i) {
        out += static_cast<char>(members[i].name.size());
        out += members[i].name;
        Put32(out, offsets[i]);
        Put32(out, static_cast<uint32_t>(members[i].data.size()));
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
