// TPrefs: the player's preference store. Every player's settings and saved worlds are texts under
// keys, per user (users count from 0) or global (user -1), kept in one enciphered file,
// "user:prefs.dat" (layout in prefsfile.h). The values of several installations of the game live
// in the file side by side; the store works on those of the current installation, named by the
// installation key: the text of "install.txt" when there is one, else the setting "installkey",
// else "unknown".
//
// The file is read once, by the constructor, and afterwards only written, whole, by Save: from a
// set with save on, and once by the destructor, so values set with save off reach the disk at
// exit. A save never leaves a half-written file: it writes a temporary file beside it and renames
// it over (safefile.h). When the file on disk was not read whole (a damaged or unreadable record,
// a key that no longer deciphers it, an old-format file whose checksum fails or that shows nothing
// to import), it is copied once to a backup beside it before the first save replaces it, and a
// line is logged; a file that cannot be backed up is not replaced.
//
// The cipher is keyed from the setting "encryptionkey" as it is at construction, so the settings
// must be read before the store is made. Main thread only.
#pragma once

#include "foundation/prefs/crypt.h"
#include "foundation/prefs/prefsfile.h"
#include "foundation/str.h"

class TXmlNode;

class TPrefs {
public:
    // Reads the settings, then the installation file and the preference file. Without
    // saveEnabled, Save writes nothing.
    explicit TPrefs(bool saveEnabled);
    // Saves once.
    ~TPrefs();
    TPrefs(const TPrefs&) = delete;
    TPrefs& operator=(const TPrefs&) = delete;

    // The value's text (up to its first NUL), or fallback when the user has no slot or the slot
    // no such key. Never creates anything; a user below -1 always gives fallback.
    str GetString(const str& key, const str& fallback, int user) const;
    // GetString with fallback as "%d", read like atoi.
    int GetInt(const str& key, int fallback, int user) const;
    // Stores the text and its NUL, growing the current installation to hold the user's slot,
    // then saves when asked. Ignored with a log line: a user below -1 or above 1023, and a key
    // or value too large for the file.
    void SetString(const str& key, const str& value, int user, bool save);
    void SetInt(const str& key, int value, int user, bool save);

    // Users of the current installation (its slots less the global one).
    int GetUserCount() const;
    // Removes a user's slot; later users move down by one. Out of range: nothing happens.
    void DeleteUser(int user);

    // Writes the whole file (when saving is enabled). Failures are logged; the old file stays.
    void Save();

    const str& GetInstallKey() const { return mInstallKey; }

private:
    enum class InstallFile { kMissing, kEmpty, kRead };
    // Reads "install.txt" whole, as text.
    static InstallFile ReadInstallFile(str& text);

    void Load();
    void ImportLegacy();
    // Stores an old-format slot element's attributes in a slot.
    static void ImportLegacySlot(TXmlNode& element, TPrefsValues& slot);
    void SelectCurrent() { mCurrent = &mInstalls[mInstallKey]; }
    // Logs why the file was not read whole and asks for a backup before the next save.
    void NoteDamage(const char* problem, size_t offset);

    TCrypt mCrypt;
    TPrefsInstalls mInstalls;
    // The current installation's slots (an entry of mInstalls).
    TPrefsSlots* mCurrent = nullptr;
    str mEncryptionKey;
    str mFileName;
    str mInstallKey;
    bool mSaveEnabled;
    // The file on disk holds more than was read: back it up before replacing it.
    bool mNeedsBackup = false;
};
