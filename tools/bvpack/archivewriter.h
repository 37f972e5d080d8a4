// Writing "BVPK" archives: "BVPK", the entry count, the directory (per member a name length byte,
// the name, the data's offset and size, all integers 32-bit little-endian), then the members'
// data in directory order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bvpack {

struct Member {
    std::string name;  // relative to the asset folder, "/" between folders, at most 255 bytes
    std::string data;
};

// The largest archive the file layer mounts: it takes an archive's size as a signed 32-bit
// number, and members' offsets are written into their names as signed numbers too.
constexpr uint64_t kLargestArchive = 0x7FFFFFFF;

// What the layout of an archive needs to know of a member.
struct Extent {
    size_t nameLength;
    uint64_t dataSize;
};

// Where each member's data starts when the data follow the directory in member order. False,
// with a reason in *error, when a name is empty or longer than 255 bytes, or when the archive
// would pass kLargestArchive.
bool LayOut(const std::vector<Extent>& members, std::vector<uint32_t>* offsets, std::string* error);

// Writes the members as an archive, whole or not at all (tools/outputfile). False, with a reason
// in *error, when LayOut refuses them or the file cannot be written.
bool WriteArchive(const std::vector<Member>& members, const std::string& path, std::string* error);

// Collects the files below folder (subfolders included, ".svn" folders and links to folders
// passed over) as members named by their path relative to folder, in byte order of the names.
// The files' sizes are laid out first: when the archive would not fit (see LayOut), or a name
// is too long, it answers false before reading any file. False too, with the reason in *error,
// when folder is not a folder or a file cannot be listed or read.
bool CollectFolder(const std::string& folder, std::vector<Member>* members, std::string* error);

}  // namespace bvpack
