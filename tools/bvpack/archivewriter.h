// Writing "BVPK" archives: "BVPK", the entry count, the directory (per member a name length byte,
// the name, the data's offset and size, all integers 32-bit little-endian), then the members'
// data in directory order.
#pragma once

#include <string>
#include <vector>

namespace bvpack {

struct Member {
    std::string name;  // relative to the asset folder, "/" between folders, at most 255 bytes
    std::string data;
};

// Writes the members as an archive. False, with a reason in *error, when a name is too long or
// the file cannot be written.
bool WriteArchive(const std::vector<Member>& members, const std::string& path, std::string* error);

// Collects the files below folder (subfolders included, ".svn" folders and links to folders
// passed over) as members named by their path relative to folder, in byte order of the names.
bool CollectFolder(const std::string& folder, std::vector<Member>* members, std::string* error);

}  // namespace bvpack
