// The compressed form of the program's XML files, "ZXML": the four bytes "ZXML", the packed size
// and the text's size (int32 little-endian each), then a zlib stream of the text. The XML reader
// and the string table read it alike.
//
// Any thread; no state.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Whether data begins with "ZXML".
bool IsZxml(const char* data, size_t length);

// Inflates "ZXML" data into a new buffer: text receives the bytes and a closing NUL, textLength
// their number (the NUL not counted). A header cut short, a packed size beyond the data, a text
// size above 64 MiB and a stream that does not inflate give false and no buffer; the reason goes
// to *problem when given, else to the log.
bool UnpackZxml(const char* data, size_t length, std::unique_ptr<char[]>& text, size_t& textLength,
                std::string* problem = nullptr);
