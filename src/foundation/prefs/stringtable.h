// TStringTable: every text the player reads, looked up by label. The table is filled at start-up
// from spreadsheet documents saved as spreadsheet XML, plain or "ZXML": each row ("<Row") gives
// one entry, the first cell's text being the label and the second's the text. The files are not
// parsed as XML but scanned: a cell's text is the first run of characters after its "<Data" tag,
// up to the next "<", with references decoded as the XML reader decodes them (xmlreference.h).
// The first row, the spreadsheet's header, is an entry like any other.
//
// A text may hold placeholders: "%1%" to "%5%" take the caller's arguments, "%LABEL%" the text of
// another label (not expanded further), "%%" a percent sign. A missing label or a bad placeholder
// is logged and gives "#####". With the setting "stringtest" on, every character of a text but
// the blank comes back as "x", so that texts that do not come from the table stand out.
//
// The application object owns the one table. Filled once, then only read; main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "foundation/str.h"

class TStringTable {
public:
    TStringTable() = default;
    ~TStringTable() = default;
    TStringTable(const TStringTable&) = delete;
    TStringTable& operator=(const TStringTable&) = delete;

    // Empties the table, then loads the file.
    bool LoadFile(const str& name);
    // Adds the file's rows, replacing the texts of labels already present. False when the file
    // cannot be opened or holds more than kLargestTable bytes. A file that is there but does not
    // open, is too large, cut short, does not unpack or holds no row is logged, naming the file
    // and the reason.
    bool Load(const str& name);
    // Adds the rows of a document in memory, plain or "ZXML". The scan stops at a NUL byte. False
    // when "ZXML" data do not unpack or the document holds no row: the reason goes to *problem
    // when given, else (for data that do not unpack) to the log.
    bool LoadText(const char* data, size_t size, std::string* problem = nullptr);

    // The largest string table read.
    static constexpr uint32_t kLargestTable = 64 * 1024 * 1024;

    // The start-up order: "strings.xml", then each file indexed under "user:" and then under
    // "common:" (not in subfolders) whose name after the folder prefix begins with "string" and
    // contains ".xml", in index order, each laid over the others. Answers whether "strings.xml"
    // loaded: the caller switches the window script to UTF-8 text then.
    bool LoadStartupFiles();

    // The label's text with its placeholders filled in; "#####" (logged) when the label is
    // missing or a placeholder fails. An argument that begins with "%" is itself read as "%%" or
    // "%LABEL%"; any other such argument fails.
    str GetString(const str& label, const str& arg1 = str(), const str& arg2 = str(),
                  const str& arg3 = str(), const str& arg4 = str(), const str& arg5 = str()) const;

    // Appends, in label order, the labels of the movie player's texts: those beginning with
    // "FLASH_", or, only when there are none, those of the form "flash<n>" or "flash<n>_<m>" (n
    // and m numbers of up to two characters).
    void GetFlashText(std::vector<str>& labels) const;

    size_t GetCount() const { return mStrings.size(); }
    // Every label, in order.
    std::vector<str> GetLabels() const;

private:
    // Expands the text into out; false when a placeholder fails.
    bool Expand(const str& label, const str& text, const str* args, str& out) const;
    // The text of an argument that begins with "%"; false when it names nothing.
    bool ExpandArgument(const str& argument, str& out) const;

    std::map<str, str> mStrings;
};
