// Sends the program's log to a fresh temporary folder for the life of the object and reads it
// back as messages, without their time stamps. A message may span lines.
#pragma once

#include <string>
#include <vector>

#include "foundation/log.h"
#include "support/tempdir.h"

namespace testing_support {

// How many times part occurs in text (overlapping occurrences counted): how often a log holds a
// line.
inline size_t CountOccurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class LogCapture {
public:
    LogCapture() { SetLogFile(mDir.Path().c_str()); }
    ~LogCapture() { SetLogFile(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Starts an empty log.
    void Clear() { SetLogFile(mDir.Path().c_str()); }

    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        std::string text = ReadFileBytes(mDir.File("logfile.txt"));
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            start = end + 1;
            if (IsStamped(line))
                messages.push_back(line.substr(kStampLength));
            else if (!messages.empty())
                messages.back() += "\n" + line;
        }
        return messages;
    }

private:
    // "Thu Jan  1 00:00:00 1970: "
    static constexpr size_t kStampLength = 26;

    static bool IsStamped(const std::string& line) {
        return line.size() >= kStampLength && line[3] == ' ' && line[7] == ' ' && line[13] == ':' &&
               line[16] == ':' && line[24] == ':' && line[25] == ' ';
    }

    TempDir mDir;
};

}  // namespace testing_support
