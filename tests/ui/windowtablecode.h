// The bytes of fuzz_windowtable (fuzz/ui): a window description table, with its children, default
// styles, "parent" chains and cycles, and a few input events, written as a small program. The
// fuzz target reads it back; the seed generator (windowtableseeds_test.cpp) writes it with
// TWindowTableWriter.
//
// Byte 0 picks the root's type name (kTypeNames). Then operations, each an opcode byte (taken
// modulo kOpCount) and its operands, until the input ends; a missing byte reads as 0:
//   kSet key kind value   the open table's key (kKeys, modulo) gets a value of the kind below
//   kOpenChild type       a new window table appended to the open table's array part, with the
//                         type name; it becomes the open table
//   kOpenParent           a new table as the open table's "parent"; it becomes the open table
//   kClose                the table opened before becomes the open table again (not the root)
//   kLinkParent slot      the open table's "parent" is an open table (slot modulo the depth,
//                         0 the root): a cycle
//   kLinkKey key slot     the same under another key
//   kDefaultStyle slot    "gCurrentDefaultStyle" becomes that open table
//   kEvent type x y code  an input event for after the windows are made (kEventTypes, modulo;
//                         x and y times 3)
// Values by kind: nil, false, true, a signed byte, a double (8 bytes, little-endian), a magic
// number (kMagic, modulo), a string (length byte, bytes), a wide string (length byte, UTF-16
// units of 2 bytes), a colour (count byte modulo 5, then that many unsigned bytes / 255), an empty
// table, a function, a function that raises an error, a Lua message, a coroutine, a light
// userdata, and a table whose every read raises an error.
//
// Any thread; the writer is plain data.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace windowtable {

// Every key the window classes read from their tables.
inline const char* const kKeys[] = {
    "name",
    "x",
    "y",
    "w",
    "h",
    "align",
    "fit",
    "parent",
    "typename",
    "beginGroup",
    "sound",
    "rolloversound",
    "mask",
    "type",
    "scale",
    "sendToParent",
    "close",
    "default",
    "cancel",
    "on",
    "tooltip",
    "graphics",
    "hflip",
    "vflip",
    "rotate",
    "command",
    "label",
    "font",
    "defflags",
    "flags",
    "padding",
    "rotation",
    "rotationOriginX",
    "rotationOriginY",
    "rotationAlign",
    "ignore",
    "length",
    "password",
    "utf8",
    "image",
    "alpha",
    "mipmap",
    "value",
    "hslider",
    "railtop",
    "railmid",
    "railbot",
    "sliderimage",
    "sliderrollimage",
    "yoffset",
    "id",
};
constexpr size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);

// The types a table may name: each window type the script knows, an empty name, an unknown one,
// and a class that cannot be created. Widgets add theirs in front of "".
inline const char* const kTypeNames[] = {"Window", "Slider", "Bitmap",  "Text", "TextEdit",
                                         "Button", "",       "Nowhere", "Modal"};
constexpr size_t kTypeCount = sizeof(kTypeNames) / sizeof(kTypeNames[0]);

// The magic numbers of the placement, and numbers at the edges of the conversions.
inline const double kMagic[] = {80000,         160000, 40000,   40001,  106666, 106667,
                                159990,        -80000, -160000, -1,     0,      2147483647.0,
                                -2147483648.0, 4.0e9,  1e308,   -1e308, 0.5,    -0.5};
constexpr size_t kMagicCount = sizeof(kMagic) / sizeof(kMagic[0]);

// kEventIdle, kEventLeftDown, kEventButton, kEventLeftUp, kEventMouseMove, kEventMouseLeft,
// kEventMouseHover, kEventKeyDown, kEventKeyUp, kEventChar, kEventUnicodeChar, kEventPaint.
inline const int32_t kEventTypes[] = {1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr size_t kEventTypeCount = sizeof(kEventTypes) / sizeof(kEventTypes[0]);

enum Op : uint8_t {
    kSet,
    kOpenChild,
    kOpenParent,
    kClose,
    kLinkParent,
    kLinkKey,
    kDefaultStyle,
    kEvent,
    kOpCount,
};

enum Kind : uint8_t {
    kNil,
    kFalse,
    kTrue,
    kSmall,
    kDouble,
    kMagicNumber,
    kString,
    kWide,
    kColour,
    kEmptyTable,
    kFunction,
    kFailingFunction,
    kMessage,
    kThread,
    kLight,
    kTrap,
    kKindCount,
};

// The index of the key in kKeys.
inline uint8_t KeyIndex(const char* key) {
    for (size_t i = 0; i < kKeyCount; ++i) {
        if (std::strcmp(kKeys[i], key) == 0) return static_cast<uint8_t>(i);
    }
    return 0;
}

class TWindowTableWriter {
public:
    explicit TWindowTableWriter(uint8_t rootType) { mBytes.push_back(rootType); }

    TWindowTableWriter& Set(const char* key, Kind kind) { return Op3(kSet, KeyIndex(key), kind); }
    TWindowTableWriter& Small(const char* key, int8_t value) {
        Set(key, kSmall);
        mBytes.push_back(static_cast<uint8_t>(value));
        return *this;
    }
    TWindowTableWriter& Number(const char* key, double value) {
        Set(key, kDouble);
        uint8_t bytes[8];
        std::memcpy(bytes, &value, 8);
        mBytes.insert(mBytes.end(), bytes, bytes + 8);
        return *this;
    }
    TWindowTableWriter& Magic(const char* key, uint8_t index) {
        Set(key, kMagicNumber);
        mBytes.push_back(index);
        return *this;
    }
    TWindowTableWriter& Text(const char* key, const std::string& text) {
        Set(key, kString);
        mBytes.push_back(static_cast<uint8_t>(text.size()));
        mBytes.insert(mBytes.end(), text.begin(), text.end());
        return *this;
    }
    TWindowTableWriter& Wide(const char* key, const std::u16string& text) {
        Set(key, kWide);
        mBytes.push_back(static_cast<uint8_t>(text.size()));
        for (char16_t unit : text) {
            mBytes.push_back(static_cast<uint8_t>(unit & 0xFF));
            mBytes.push_back(static_cast<uint8_t>(unit >> 8));
        }
        return *this;
    }
    TWindowTableWriter& Colour(const char* key, std::vector<uint8_t> parts) {
        Set(key, kColour);
        mBytes.push_back(static_cast<uint8_t>(parts.size()));
        mBytes.insert(mBytes.end(), parts.begin(), parts.end());
        return *this;
    }
    TWindowTableWriter& OpenChild(uint8_t type) { return Op2(kOpenChild, type); }
    TWindowTableWriter& OpenParent() { return Op1(kOpenParent); }
    TWindowTableWriter& Close() { return Op1(kClose); }
    TWindowTableWriter& LinkParent(uint8_t slot) { return Op2(kLinkParent, slot); }
    TWindowTableWriter& LinkKey(const char* key, uint8_t slot) {
        return Op3(kLinkKey, KeyIndex(key), slot);
    }
    TWindowTableWriter& DefaultStyle(uint8_t slot) { return Op2(kDefaultStyle, slot); }
    // type: an index into kEventTypes.
    TWindowTableWriter& Event(uint8_t type, uint8_t x, uint8_t y, uint8_t code) {
        mBytes.insert(mBytes.end(), {kEvent, type, x, y, code});
        return *this;
    }

    const std::vector<uint8_t>& Bytes() const { return mBytes; }

private:
    TWindowTableWriter& Op1(uint8_t op) {
        mBytes.push_back(op);
        return *this;
    }
    TWindowTableWriter& Op2(uint8_t op, uint8_t a) {
        mBytes.insert(mBytes.end(), {op, a});
        return *this;
    }
    TWindowTableWriter& Op3(uint8_t op, uint8_t a, uint8_t b) {
        mBytes.insert(mBytes.end(), {op, a, b});
        return *this;
    }

    std::vector<uint8_t> mBytes;
};

}  // namespace windowtable
