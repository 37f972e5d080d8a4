#include "recipetext.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "inputfile.h"

namespace drawkit {

std::string Statement::Where(const std::string& what) const {
    return file + ":" + std::to_string(line) + ": " + what;
}

std::string Statement::Option(const std::string& key, const std::string& fallback) const {
    const std::string prefix = key + "=";
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i].compare(0, prefix.size(), prefix) == 0) return words[i].substr(prefix.size());
    }
    return fallback;
}

bool Statement::HasOption(const std::string& key) const {
    const std::string prefix = key + "=";
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i].compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

std::vector<std::string> Statement::Plain() const {
    std::vector<std::string> plain;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i == 0 || words[i].find('=') == std::string::npos) plain.push_back(words[i]);
    }
    return plain;
}

namespace {

bool IsRawColour(const std::string& word) {
    const size_t eq = word.find('=');
    const std::string value = eq == std::string::npos ? word : word.substr(eq + 1);
    return (!value.empty() && value[0] == '#') || value.compare(0, 2, "0x") == 0 ||
           value.compare(0, 4, "rgb(") == 0;
}

}  // namespace

bool ParseRecipeText(const std::string& file, const std::string& text, bool allowRawColours,
                     std::vector<Statement>* out, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (line.find('\0') != std::string::npos) {
            *error = file + ":" + std::to_string(number) + ": a NUL byte";
            return false;
        }
        std::istringstream words(line);
        Statement statement;
        statement.file = file;
        statement.line = number;
        std::string word;
        while (words >> word)
            statement.words.push_back(word);
        if (statement.words.empty() || statement.words[0][0] == '#') continue;
        if (!allowRawColours) {
            for (const std::string& w : statement.words) {
                if (IsRawColour(w)) {
                    *error =
                        statement.Where("a raw colour (" + w + "): recipes name palette ramps");
                    return false;
                }
            }
        }
        out->push_back(std::move(statement));
    }
    return true;
}

bool ReadRecipeFile(const std::string& path, bool allowRawColours, std::vector<Statement>* out,
                    std::string* error) {
    std::string bytes;
    if (!tools::ReadInputFile(path, kLargestRecipeFile, &bytes, error)) return false;
    return ParseRecipeText(path, bytes, allowRawColours, out, error);
}

bool ParseNumber(const std::string& word, double* value) {
    if (word.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (end != word.c_str() + word.size() || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

}  // namespace drawkit
