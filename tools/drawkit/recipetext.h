// The text form every drawing recipe and the style file share: one statement a line, words
// separated by blanks, a line whose first word begins with "#" a comment. Options are words of the
// form key=value. Every statement keeps its file and line, so that whatever is wrong with it is
// told as "file:line: what is wrong".
//
// A recipe never holds a raw colour: a word that begins with "#" (after the first word of a
// comment) or "0x", or an option whose value does, is refused when the text is read, so every
// picture draws from the style's palette. The style file reads with raw colours allowed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace drawkit {

// The largest recipe or style file read: far above any real one, well below memory trouble.
constexpr uint64_t kLargestRecipeFile = 4u << 20;

struct Statement {
    std::string file;
    int line = 0;
    std::vector<std::string> words;

    // "file:line: " + what.
    std::string Where(const std::string& what) const;
    // The option key=value among the words (from the second on); fallback when absent.
    std::string Option(const std::string& key, const std::string& fallback = "") const;
    bool HasOption(const std::string& key) const;
    // The words that are not options, the first (the statement's verb) included.
    std::vector<std::string> Plain() const;
};

// Splits text into statements. With allowRawColours false, a raw colour fails the read with
// "file:line: a raw colour (...): recipes name palette ramps". False with *error on failure.
bool ParseRecipeText(const std::string& file, const std::string& text, bool allowRawColours,
                     std::vector<Statement>* out, std::string* error);

// Reads the file (tools::ReadInputFile, kLargestRecipeFile) and parses it.
bool ReadRecipeFile(const std::string& path, bool allowRawColours, std::vector<Statement>* out,
                    std::string* error);

// A number word: the whole word must be a finite number. False when it is not.
bool ParseNumber(const std::string& word, double* value);

}  // namespace drawkit
