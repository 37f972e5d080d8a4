#include "foundation/file/assetfolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "foundation/file/diskfiledata.h"
#include "foundation/file/diskpath.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"
#include "foundation/file/folderlist.h"
#include "foundation/settingsmap.h"

namespace {

constexpr int kManifestLimit = 100000;

bool IsLink(const str& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void ReadManifest(const char* fileName) {
    // Opened as a disk file, past the index: the manifest lies in the working folder.
    TDiskFileData file;
    if (!file.Open(fileName, kFileReadBinary)) return;
    std::vector<char> text;
    const int size = file.GetSize();
    if (size >= 0 && size < kManifestLimit) {
        text.resize(static_cast<size_t>(size));
        text.resize(static_cast<size_t>(std::max(file.Read(text.data(), size), 0)));
    }
    file.Close();

    TFileIndex& index = TFileIndex::GetInstance();
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i == start) break;
        str word(text.data() + start, static_cast<int>(i - start));
        if (word == "-*") {
            index.ClearHidden();
            continue;
        }
        word.ToLower();
        index.Hide(word);
    }
}

}  // namespace

void LoadAssetManifest() {
    TSettingsMap& settings = TSettingsMap::GetInstance();
    ReadManifest(settings.Get("firstpeek", "0").ToInt() != 0 ? "firstpeek.txt" : "final.txt");
    ScanAssetFolder("", "assets");
    if (settings.Get("activex", "") == "1") return;
    str user = GetUserDataRoot();
    if (user.Length() > 0) ScanAssetFolder("user:", user);
    str common = GetCommonDataRoot();
    if (common.Length() > 0) ScanAssetFolder("common:", common);
}

void ScanAssetFolder(const str& prefix, const str& given) {
    // The paths stored are opened as they are, so they take "/" for every backslash.
    const str folder = WithForwardSlashes(given);
    TFileIndex& index = TFileIndex::GetInstance();
    TFileMapHandler::MountArchives(index, folder);

    str virtualPrefix = prefix;
    if (virtualPrefix.Length() == 0) {
        virtualPrefix = folder.Find("assets") == 0 ? folder.Substring(7) : folder;
        if (virtualPrefix == ".") virtualPrefix = str();
    }
    if (virtualPrefix.Length() > 0) virtualPrefix += '/';
    virtualPrefix.ToLower();

    TFolderList listing;
    listing.Open(folder.c_str());
    str name;
    bool isFolder = false;
    while (listing.Next(name, &isFolder)) {
        str key = virtualPrefix + name;
        key.ToLower();
        if (index.IsHidden(key)) continue;
        const str path = folder + "/" + name;
        if (!isFolder) {
            index.Set(key, path);
        } else if (name != ".svn" && !IsLink(path)) {
            ScanAssetFolder(virtualPrefix + name, path);
        }
    }
}

bool HasAssetFolder() {
    struct stat info;
    return stat("assets", &info) == 0 && S_ISDIR(info.st_mode);
}

void ClearAssetManifest() {
    TFileIndex::GetInstance().ClearHidden();
}
