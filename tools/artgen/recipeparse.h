// What the recipe readers share (recipe.cpp, placerecipe.cpp): a fault thrown while a file is
// read, and the readers of numbers, pairs and options that throw it with "file:line: what is
// wrong". A fault never leaves the reader that throws it: each reader catches it at its top
// (Guard) and answers false with the text.
#pragma once

#include <cmath>
#include <map>
#include <string>

#include "recipetext.h"

namespace artgen::recipeparse {

struct Fault {
    std::string text;
};

[[noreturn]] inline void Fail(const drawkit::Statement& s, const std::string& what) {
    throw Fault{s.Where(what)};
}

inline double Number(const drawkit::Statement& s, const std::string& word, const char* what) {
    double v = 0;
    if (!drawkit::ParseNumber(word, &v))
        Fail(s, std::string("not a number for ") + what + ": " + word);
    return v;
}

inline int Whole(const drawkit::Statement& s, const std::string& word, const char* what, int low,
                 int high) {
    const double v = Number(s, word, what);
    if (v != std::floor(v) || v < low || v > high)
        Fail(s, std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
                    std::to_string(high));
    return int(v);
}

inline void Pair(const drawkit::Statement& s, const std::string& text, const char* what, double* x,
                 double* y) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) Fail(s, std::string(what) + " is x,y");
    *x = Number(s, text.substr(0, comma), what);
    *y = Number(s, text.substr(comma + 1), what);
}

// A range "A-B" or a single "A" of whole numbers from low to high.
inline void Range(const drawkit::Statement& s, const std::string& text, const char* what, int low,
                  int high, int* from, int* to) {
    const size_t dash = text.find('-');
    *from = Whole(s, text.substr(0, dash), what, low, high);
    *to = dash == std::string::npos ? *from : Whole(s, text.substr(dash + 1), what, low, high);
    if (*to < *from) Fail(s, std::string(what) + " runs backwards");
}

inline std::map<std::string, std::string> Options(const drawkit::Statement& s) {
    std::map<std::string, std::string> options;
    for (size_t i = 1; i < s.words.size(); ++i) {
        const size_t eq = s.words[i].find('=');
        if (eq != std::string::npos) options[s.words[i].substr(0, eq)] = s.words[i].substr(eq + 1);
    }
    return options;
}

template <typename Work>
bool Guard(std::string* error, Work work) {
    try {
        work();
        return true;
    } catch (const Fault& f) {
        *error = f.text;
        return false;
    }
}

}  // namespace artgen::recipeparse
