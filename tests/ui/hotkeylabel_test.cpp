#include "ui/hotkeylabel.h"

#include <gtest/gtest.h>

#include <string>

#include "support/printers.h"

namespace {

TEST(HotKeyLabelTest, StripKeyFromLabel) {
    struct Case {
        const char* label;
        const char* stripped;
        const char* key;
    };
    const Case cases[] = {
        {"Save &as", "Save as", "@a"},
        {"No mark", "No mark", ""},
        {"", "", ""},
        {"&First", "First", "@F"},
        {"Two && marks", "Two & marks", "@&"},
        {"Only the &first &one", "Only the first &one", "@f"},
        {"At the end&", "At the end", ""},
        // A UTF-8 lead byte cannot be a key; a continuation byte after it is taken as it is.
        {"Caf&\xC3\xA9", "Caf\xC3\xA9", ""},
        {"&\xE2\x82\xAC", "\xE2\x82\xAC", ""},
        {"x&\x7F", "x\x7F", "@\x7F"},
    };
    for (const Case& c : cases) {
        THotKeyLabel result = StripKeyFromLabel(c.label);
        EXPECT_EQ(result.label, str(c.stripped)) << c.label;
        EXPECT_EQ(result.key, str(c.key)) << c.label;
    }
}

TEST(HotKeyLabelTest, TagHotKey) {
    struct Case {
        const char* key;
        const char* label;
        const char* tagged;
    };
    const Case cases[] = {
        {"@s", "Save", "<u>S</u>ave"},
        {"@A", "Save as", "S<u>a</u>ve as"},
        {"", "Save", "Save"},
        {"@z", "Save", "Save"},
        {"@e", "", ""},
        // Only the key's last byte counts.
        {"alt-v", "Save", "Sa<u>v</u>e"},
        // A lead byte takes its whole character.
        {"@\xC3", "Caf\xC3\xA9!", "Caf<u>\xC3\xA9</u>!"},
        // The euro sign's last byte is a continuation byte: it is tagged alone.
        {"@\xE2\x82\xAC", "1 \xE2\x82\xAC", "1 \xE2\x82<u>\xAC</u>"},
        // A character cut short at the end of the label: no read past it.
        {"@\xE2", "ab\xE2", "ab<u>\xE2</u>"},
        {"@\xF0", "ab\xF0\x9F", "ab<u>\xF0\x9F</u>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TagHotKey(c.key, c.label), str(c.tagged)) << c.key << " " << c.label;
    }
}

TEST(HotKeyLabelTest, NormalizeHotKey) {
    const struct {
        const char* key;
        const char* canonical;
    } cases[] = {
        {"Ctrl-Shift-s", "shift-ctrl-S"},
        {"shift-control-S", "shift-ctrl-S"},
        {"alt-control-x", "ctrl-alt-X"},
        // "ctrl+" is no modifier word: only the last character stays.
        {"ctrl+s", "S"},
        {"@q", "@Q"},
        // One character is a key of its own, "@" too.
        {"@", "@"},
        {"x", "X"},
        {"", ""},
        {"ALT-1", "alt-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeHotKey(c.key), str(c.canonical)) << c.key;
}

}  // namespace
