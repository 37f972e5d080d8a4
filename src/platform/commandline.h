// The program's command line: one text, as the process was started with it, in which start-up
// looks for its options. An option is found by a plain, case-sensitive substring search anywhere
// in the line ("--multiple" inside a longer word counts), so every reader here takes the whole
// line and finds the option itself. Nothing here reads past the line's terminator.
//
// Pure functions; any thread.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "foundation/str.h"

namespace commandline {

// Whether the option occurs anywhere in the line.
bool HasOption(const char* line, const char* option);

// The text that starts right after the option and runs to the next blank or the end of the line
// ("-url=", "-host="); empty when the option is absent. At most maxLength characters are kept.
str WordAfter(const char* line, const char* option, unsigned maxLength = 0xFFFFFFFFu);

// "--cheat": the text that starts one character after the option (the separator) and runs to
// the next blank or the end of the line. Empty when the option is absent, and when it ends the
// line (there is no separator then).
str CheatCode(const char* line);

// "-wnd=": the hexadecimal number after the option ("%x"); 0 when absent or unreadable.
unsigned HostWindow(const char* line);

// "-wd=": the folder after the option; when it begins with a double quote, the text between that
// quote and the next (or the end), else the text up to the next blank. Empty when absent.
str WorkingDirectory(const char* line);

// "options=": the pairs after the option, in order. Repeatedly: stop when the rest is empty or
// begins with a blank; the key is the text before the next "=" (stop when there is none); the
// value runs to the next "&" anywhere in the rest, or, when there is none, to the next blank or
// the end; the rest continues after that separator.
std::vector<std::pair<str, str>> OptionPairs(const char* line);

// The command line of a program started with these arguments (the program's name, argv[0], is
// not given): joined by single blanks, an argument that contains a blank wrapped in double
// quotes.
std::string JoinArguments(const std::vector<std::string>& arguments);

}  // namespace commandline
