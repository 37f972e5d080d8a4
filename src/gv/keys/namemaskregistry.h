// GNameMaskRegistry: the dictionary behind name keys (namemask.h). It numbers every distinct
// word it is shown, from 1 in order of first sight, and never frees a number, so a key made once
// stays valid for the whole run. Words end at "_" or at the end of the name and compare
// case-sensitively ("Fever" and "fever" are two words). Numbers mean nothing outside the run:
// whatever is stored or shown goes back to text through GetName.
//
// A run knows at most 255 words. A word seen after that gets no number (it adds nothing to a
// key) and the first such refusal is logged.
//
// The registry keeps its own copy of every word, so a caller's text need not outlive it; the
// keep-a-copy flag of the callers is accepted for their sake and changes nothing. Instance is the
// process-wide registry, made on first use and destroyed at exit; tests may make their own.
// Main thread only (and start-up code before it).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/str.h"
#include "gv/keys/namemask.h"

class GNameMaskRegistry {
public:
    static constexpr int kMaxWords = 255;

    GNameMaskRegistry() = default;
    GNameMaskRegistry(const GNameMaskRegistry&) = delete;
    GNameMaskRegistry& operator=(const GNameMaskRegistry&) = delete;

    static GNameMaskRegistry& Instance();

    // The key of the name; 0 for a null or empty name. Empty words (a leading, trailing or
    // doubled "_") add nothing, and words past the eighth are dropped.
    GNameMask Parse(const char* name, bool keepCopy = true);
    GNameMask Parse(const str& name, bool keepCopy = true) { return Parse(name.c_str(), keepCopy); }

    // The number of the word that starts at word (up to its "_" or end), given now when the word
    // is new. 0 for a null or empty word, a word that begins with "_", and a new word when all
    // 255 numbers are taken.
    int GetWordNumber(const char* word, bool keepCopy = true);

    // The name of a key: the words of its non-zero bytes, lowest first, joined by "_". The empty
    // key gives the empty text.
    str GetName(GNameMask key) const;

    // Fills the scratch list with where each word of name starts: the name's start and the
    // character after every "_" (so a trailing "_" gives a last word that begins with "_").
    void SplitWords(const char* name);

    int GetWordCount() const { return static_cast<int>(mWords.size()); }

private:
    std::vector<const char*> mWordStarts;
    // Word n is mWords[n - 1].
    std::vector<std::string> mWords;
    std::map<std::string, int, std::less<>> mNumbers;
    bool mFullLogged = false;
};
