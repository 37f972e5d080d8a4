#include "foundation/prefs/prefs.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/safefile.h"
#include "foundation/log.h"
#include "foundation/settingsmap.h"

namespace {

const char kFileName[] = "user:prefs.dat";
const char kInstallFileName[] = "install.txt";

str Setting(const char* key) {
    return TSettingsMap::GetInstance().Get(key, str());
}

bool ExistsOnDisk(const str& path) {
    struct stat info;
    return path.Length() > 0 && stat(path.c_str(), &info) == 0;
}

}  // namespace

TPrefs::TPrefs(bool saveEnabled)
    : mCrypt(Setting("encryptionkey")),
      mEncryptionKey(Setting("encryptionkey")),
      mFileName(kFileName),
      mInstallKey(Setting("installkey")),
      mSaveEnabled(saveEnabled) {
    if (mInstallKey.Length() == 0) mInstallKey = "unknown";
    if (mEncryptionKey.Length() == 0)
        LogPrintf("ERROR: No encryption key set before TPrefs construction!");
    Load();
}

TPrefs::~TPrefs() {
    Save();
}

TPrefs::InstallFile TPrefs::ReadInstallFile(str& text) {
    TFile file;
    if (!file.Open(kInstallFileName, kFileReadText)) return InstallFile::kMissing;
    const int size = file.GetSize();
    if (size <= 0) return InstallFile::kEmpty;
    if (static_cast<uint32_t>(size) >= prefsfile::kLargestRecord) {
        LogPrintf("%s is too large to be an installation key (%d bytes)", kInstallFileName, size);
        return InstallFile::kMissing;
    }
    // Text mode drops carriage returns, so fewer bytes may arrive than the size; only those
    // that arrived count (up to a NUL, should the file hold one).
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size) + 1]());
    const int got = file.Read(buffer.get(), size);
    text = str(buffer.get(), got > 0 ? got : 0);
    return InstallFile::kRead;
}

void TPrefs::Load() {
    str text;
    const InstallFile install = ReadInstallFile(text);
    if (install == InstallFile::kRead) mInstallKey = text;
    mInstallKey.ToLower();
    SelectCurrent();

    std::string bytes;
    std::string problem;
    const TWholeFile read = ReadWholeFile(mFileName, kFileReadBinary, kLargestFile, bytes, problem);
    if (read == TWholeFile::kMissing) {
        // Something there that cannot be opened (no access, a folder, a pipe) must not be
        // replaced unseen.
        if (ExistsOnDisk(ResolvePath(mFileName, false))) NoteDamage("cannot be opened", 0);
        // This path keeps the installation file's text as it is, capitals included.
        if (ReadInstallFile(text) == InstallFile::kRead) mInstallKey = text;
        SelectCurrent();
        return;
    }
    const bool whole = read == TWholeFile::kRead;

    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '>') {
        ImportLegacy();
        Save();
        return;
    }
    const TPrefsReadOutcome outcome =
        ReadPrefsRecords(bytes.data(), bytes.size(), mCrypt, mInstalls);
    if (outcome.haveFirstKey && install == InstallFile::kEmpty) {
        mInstallKey = outcome.firstKey;
        SelectCurrent();
    }
    if (outcome.damaged) {
        NoteDamage(outcome.problem, outcome.problemOffset);
    } else if (!whole) {
        NoteDamage("cannot be read whole", bytes.size());
    }
}

void TPrefs::NoteDamage(const char* problem, size_t offset) {
    LogPrintf("Preference file %s damaged at byte %lu (%s): keeping what was read",
              mFileName.c_str(), static_cast<unsigned long>(offset), problem);
    mNeedsBackup = true;
}

str TPrefs::GetString(const str& key, const str& fallback, int user) const {
    if (user < -1) return fallback;
    const size_t slot = static_cast<size_t>(user) + 1;
    if (slot >= mCurrent->size()) return fallback;
    const TPrefsValues& values = (*mCurrent)[slot];
    auto it = values.find(key);
    if (it == values.end()) return fallback;
    return str(it->second.data(), static_cast<int>(it->second.size()));
}

int TPrefs::GetInt(const str& key, int fallback, int user) const {
    return GetString(key, str::Format("%d", fallback), user).ToInt();
}

void TPrefs::SetString(const str& key, const str& value, int user, bool save) {
    if (user < -1 || user >= prefsfile::kLargestSlot) {
        LogPrintf("Preference '%s' not set: user %d out of range", key.c_str(), user);
        return;
    }
    const size_t bytes = static_cast<size_t>(value.Length()) + 1;
    if (!prefsfile::PairFits(key, bytes)) {
        LogPrintf("Preference '%s' not set: %lu bytes do not fit the file", key.c_str(),
                  static_cast<unsigned long>(bytes));
        return;
    }
    const size_t slot = static_cast<size_t>(user + 1);
    if (mCurrent->size() <= slot) mCurrent->resize(slot + 1);
    (*mCurrent)[slot][key] = std::string(value.c_str(), bytes);
    if (save) Save();
}

void TPrefs::SetInt(const str& key, int value, int user, bool save) {
    SetString(key, str::Format("%d", value), user, save);
}

int TPrefs::GetUserCount() const {
    return mCurrent->empty() ? 0 : static_cast<int>(mCurrent->size()) - 1;
}

void TPrefs::DeleteUser(int user) {
    if (user < 0 || user >= GetUserCount()) return;
    mCurrent->erase(mCurrent->begin() + user + 1);
}

void TPrefs::Save() {
    if (!mSaveEnabled) return;
    std::string bytes;
    std::string problem;
    if (!WritePrefsRecords(mCrypt, mInstallKey, mInstalls, bytes, problem)) {
        LogPrintf("Preferences not saved: %s", problem.c_str());
        return;
    }
    // Without a user data folder there is nowhere to save.
    const str path = ResolvePath(mFileName, false);
    if (path.Length() == 0) return;
    if (mNeedsBackup && ExistsOnDisk(path)) {
        const str backup = BackupFile(path, problem);
        if (backup.Length() == 0) {
            LogPrintf("Preferences not saved: the damaged file %s could not be backed up (%s)",
                      path.c_str(), problem.c_str());
            return;
        }
        LogPrintf("Preference file %s copied to %s before it is replaced", path.c_str(),
                  backup.c_str());
    }
    mNeedsBackup = false;
    if (!ReplaceFileSafely(path, bytes.data(), bytes.size(), problem))
        LogPrintf("Preferences not saved to %s: %s", path.c_str(), problem.c_str());
}
