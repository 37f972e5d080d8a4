// Reads "MVC4" data the plain way, apart from TVecFont, so the converter's tests can check the
// layout itself: the header, every record, and every outline walked operation by operation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fontconv_test {

struct Record {
    uint32_t code = 0;
    int16_t x0 = 0, x1 = 0, top = 0, bottom = 0, advance = 0;
    uint32_t offset = 0;
};

struct Point {
    int x = 0;
    int y = 0;
};

// One operation of an outline: the opcode and its points in 1/128 units.
struct Op {
    int opcode = 0;
    std::vector<Point> points;
};

inline int16_t S16(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<int16_t>(d[at] | d[at + 1] << 8);
}
inline uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint32_t>(d[at]) | static_cast<uint32_t>(d[at + 1]) << 8 |
           static_cast<uint32_t>(d[at + 2]) << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}

// The records, or an error text when the header or table is broken.
inline bool ReadRecords(const std::vector<uint8_t>& d, std::vector<Record>* records,
                        std::string* error) {
    if (d.size() < 12 || std::string(d.begin(), d.begin() + 4) != "MVC4") {
        *error = "no MVC4 header";
        return false;
    }
    for (size_t i = 6; i < 12; ++i) {
        if (d[i] != 0) *error = "unread header byte not 0";
    }
    size_t count = d[4] | d[5] << 8;
    if (12 + 18 * count > d.size()) {
        *error = "record table past the end";
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        size_t at = 12 + 18 * i;
        Record r;
        r.code = U32(d, at);
        r.x0 = S16(d, at + 4);
        r.x1 = S16(d, at + 6);
        r.top = S16(d, at + 8);
        r.bottom = S16(d, at + 10);
        r.advance = S16(d, at + 12);
        r.offset = U32(d, at + 14);
        records->push_back(r);
    }
    return error->empty();
}

// Walks an outline to its opcode 8; false with an error text for an opcode or operand that is
// not whole inside the data.
inline bool ReadOutline(const std::vector<uint8_t>& d, uint32_t offset, std::vector<Op>* ops,
                        std::string* error) {
    size_t at = offset;
    while (at < d.size()) {
        Op op;
        op.opcode = d[at++];
        int points = op.opcode == 4 || op.opcode == 5 ? 1 : op.opcode == 6 ? 2 : 0;
        if (op.opcode == 8) {
            ops->push_back(op);
            return true;
        }
        if (points == 0) {
            *error = "opcode " + std::to_string(op.opcode) + " at " + std::to_string(at - 1);
            return false;
        }
        if (at + 4 * static_cast<size_t>(points) > d.size()) break;
        for (int i = 0; i < points; ++i, at += 4) op.points.push_back({S16(d, at), S16(d, at + 2)});
        ops->push_back(op);
    }
    *error = "outline at " + std::to_string(offset) + " runs off the end";
    return false;
}

}  // namespace fontconv_test
