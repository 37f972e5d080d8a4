#include "archivewriter.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <utility>

#include "inputfile.h"
#include "outputfile.h"

namespace bvpack {
namespace {

void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A file found below the folder, before it is read.
struct Listed {
    std::string name;
    std::filesystem::path path;
    uint64_t size;
};

bool List(const std::filesystem::path& folder, const std::string& prefix,
          std::vector<Listed>* listed, std::string* error) {
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
            if (!List(entry.path(), prefix + name + "/", listed, error)) return false;
        } else if (entry.is_regular_file(look)) {
            const uint64_t size = entry.file_size(look);
            if (look) {
                *error = "cannot read " + entry.path().string() + ": " + look.message();
                return false;
            }
            listed->push_back(Listed{prefix + name, entry.path(), size});
        }
    }
    if (code) {
        *error = "cannot list " + folder.string() + ": " + code.message();
        return false;
    }
    return true;
}

bool NameFits(const std::string& name, std::string* error) {
    if (!name.empty() && name.size() <= 255) return true;
    *error = "member name must have 1 to 255 bytes: " + name;
    return false;
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
        if (!NameFits(member.name, error)) return false;
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

    return tools::WriteOutputFile(path, out, error);
}

bool CollectFolder(const std::string& folder, std::vector<Member>* members, std::string* error) {
    std::error_code look;
    if (!std::filesystem::is_directory(folder, look)) {
        *error = folder + " is not a folder";
        return false;
    }
    std::vector<Listed> listed;
    if (!List(folder, "", &listed, error)) return false;
    std::sort(listed.begin(), listed.end(),
              [](const Listed& a, const Listed& b) { return a.name < b.name; });
    // The archive's size is known from the listing: refuse one that cannot be written before
    // reading a byte.
    std::vector<Extent> extents;
    for (const Listed& file : listed) {
        if (!NameFits(file.name, error)) return false;
        extents.push_back(Extent{file.name.size(), file.size});
    }
    std::vector<uint32_t> offsets;
    if (!LayOut(extents, &offsets, error)) {
        *error = "cannot pack " + folder + ": " + *error;
        return false;
    }
    for (Listed& file : listed) {
        Member member{std::move(file.name), {}};
        // A file grown since the listing is still held to what an archive can take; the layout
        // of what was read is checked again when it is written.
        if (!tools::ReadInputFile(file.path.string(), kLargestArchive, &member.data, error))
            return false;
        members->push_back(std::move(member));
    }
    return true;
}

}  // namespace bvpack
