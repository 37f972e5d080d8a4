// The hiscore requests: the form fields of each, the score and medals documents, the medal
// elements, and the sealing of the documents for their fields.
#include "online/hiscoreformats.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/prefs/base64.h"
#include "foundation/prefs/crypt.h"
#include "hiscorefixture.h"

namespace {

using hiscore_testing::kKey;

// Stands where the HTTP client goes: keeps the fields in order, one "name=value" line each.
struct FieldRecorder {
    void AddField(const char* name, const char* value) {
        lines += std::string(name) + "=" + value + "\n";
    }
    void AddField(const char* name, int value) { AddField(name, std::to_string(value).c_str()); }
    std::string lines;
};

const char kGuid[] = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";

THiscoreEntry FullEntry() {
    THiscoreEntry entry;
    entry.guid = kGuid;
    entry.score = 12345;
    entry.gameData = "level=3";
    entry.version = "1.2";
    entry.name = "Ada";
    return entry;
}

THiscoreMedalRecord TwoMedals() {
    THiscoreMedalRecord record;
    record.medals.push_back(THiscoreMedal{"First Steps", "game", "Relaxed", "", false});
    record.medals.push_back(THiscoreMedal{"Quick", "type", "Expert", "x", true});
    return record;
}

// The document a field carries, as the service reads it back.
std::string Unsealed(const std::string& lines, const char* field) {
    const std::string start = std::string(field) + "=";
    const size_t at = lines.find(start);
    if (at == std::string::npos) return "(no field)";
    const size_t from = at + start.size();
    const std::string value = lines.substr(from, lines.find('\n', from) - from);
    TCrypt crypt(kKey);
    return crypt.DecryptString(value.c_str()).c_str();
}

TEST(HiscoreRequestTest, CategoriesFields) {
    FieldRecorder http;
    AddCategoriesFields(http, "en", "umbrava");
    EXPECT_EQ(http.lines, "lang=en\nver=1.0\naction=tables\ngame=umbrava\n");
}

TEST(HiscoreRequestTest, ScoresFields) {
    const std::vector<THiscoreCategory> categories = {{"t-all", "All time"}, {"t-week", "Week"}};
    struct Row {
        const char* what;
        std::vector<THiscoreCategory> categories;
        int index;
        const char* user;
        const char* expected;
    };
    const Row rows[] = {
        {"category and user", categories, 1, "Ada",
         "lang=de\nver=1.0\naction=get\ngame=umbrava\ntype=Relaxed\ntable=t-week\nnumScores=500\n"
         "username=Ada\n"},
        {"no user", categories, 0, "",
         "lang=de\nver=1.0\naction=get\ngame=umbrava\ntype=Relaxed\ntable=t-all\nnumScores=500\n"},
        {"index past the end", categories, 2, "Ada",
         "lang=de\nver=1.0\naction=get\ngame=umbrava\ntype=Relaxed\nnumScores=500\n"
         "username=Ada\n"},
        {"negative index", categories, -1, "",
         "lang=de\nver=1.0\naction=get\ngame=umbrava\ntype=Relaxed\nnumScores=500\n"},
        {"no categories",
         {},
         0,
         "",
         "lang=de\nver=1.0\naction=get\ngame=umbrava\ntype=Relaxed\nnumScores=500\n"},
    };
    for (const Row& row : rows) {
        FieldRecorder http;
        AddScoresFields(http, "de", "umbrava", "Relaxed", row.categories, row.index, row.user);
        EXPECT_EQ(http.lines, row.expected) << row.what;
    }
}

TEST(HiscoreRequestTest, SubmissionFieldsCarryTheSealedDocument) {
    TCrypt crypt(kKey);
    const THiscoreSubmission submission =
        MakeScoreSubmission(FullEntry(), "Ada", "secret", "Relaxed", "umbrava", nullptr);
    const str sealed = SealHiscoreDocument(crypt, submission.document);

    // Sealing is the document without a NUL, enciphered, as base64.
    const std::string plain = submission.document.c_str();
    const std::string raw = hiscore_testing::Encrypt(crypt, plain);
    std::string base64(static_cast<size_t>(Base64EncodedSize(static_cast<int>(raw.size()))), '\0');
    Base64Encode(base64.data(), reinterpret_cast<const uint8_t*>(raw.data()),
                 static_cast<int>(raw.size()));
    EXPECT_EQ(std::string(sealed.c_str()), base64);

    FieldRecorder http;
    AddSubmitFields(http, "en", "umbrava", sealed);
    EXPECT_EQ(http.lines, "lang=en\nver=1.0\ngame=umbrava\naction=submit\nscore=" + base64 + "\n");
    EXPECT_EQ(Unsealed(http.lines, "score"), plain);
}

TEST(HiscoreRequestTest, MedalsSubmission) {
    TCrypt crypt(kKey);
    const str elements = MakeMedalElements(TwoMedals(), true);
    const THiscoreSubmission submission =
        MakeMedalsSubmission(elements, "Ada", "secret", "umbrava");
    const std::string document =
        "<?xml version=\"1.0\"?>\n<medals\n    name=\"Ada\"\n    password=\"secret\"\n"
        "    game=\"umbrava\">\n"
        "<medal name=\"First Steps\" per=\"game\"/><medal name=\"Quick\" per=\"type\" "
        "type=\"Expert\"/></medals>";
    EXPECT_EQ(std::string(submission.document.c_str()), document);
    EXPECT_EQ(submission.userName, str("Ada"));
    // Sending elements given as text makes no record pending.
    EXPECT_FALSE(submission.carriesMedals);

    FieldRecorder http;
    AddMedalsFields(http, "en", "umbrava", SealHiscoreDocument(crypt, submission.document));
    EXPECT_EQ(http.lines.substr(0, http.lines.find("medals=")),
              "lang=en\nver=1.0\ngame=umbrava\naction=medals\n");
    EXPECT_EQ(Unsealed(http.lines, "medals"), document);

    // Without a game handle, and with a record that has no medals.
    EXPECT_EQ(std::string(MakeMedalsSubmission("", "Bo", "pw", "").document.c_str()),
              "<?xml version=\"1.0\"?>\n<medals\n    name=\"Bo\"\n    password=\"pw\">\n"
              "</medals>");
}

TEST(HiscoreRequestTest, ScoreDocuments) {
    const std::string head =
        "<?xml version=\"1.0\"?>\n<score\n    guid=\"" + std::string(kGuid) + "\"\n";
    THiscoreEntry bare;
    bare.guid = kGuid;
    bare.score = -7;
    THiscoreEntry withServerData = FullEntry();
    withServerData.serverData = "<sd a=\"1\">x &amp; y</sd>";
    THiscoreEntry nestedServerData = bare;
    nestedServerData.serverData = "<best><score>10</score></best>";
    const THiscoreMedalRecord medals = TwoMedals();
    const THiscoreMedalRecord noMedals;

    struct Row {
        const char* what;
        THiscoreEntry entry;
        const char* name;
        const char* password;
        const char* game;
        const THiscoreMedalRecord* medals;
        std::string expected;
        bool carriesMedals;
        const char* userName;
    };
    const Row rows[] = {
        {"everything but content", FullEntry(), "Ada", "secret", "umbrava", nullptr,
         head + "    name=\"Ada\"\n    password=\"secret\"\n    type=\"Relaxed\"\n"
                "    game=\"umbrava\"\n    score=\"12345\"\n    data=\"level=3\"\n"
                "    ver=\"1.2\">\n</score>\n",
         false, "Ada"},
        {"no name, password, game, data or version", bare, nullptr, "", "", nullptr,
         head + "    type=\"Relaxed\"\n    score=\"-7\">\n</score>\n", false, ""},
        {"name without password", bare, "Bo", "", "", &medals,
         head + "    name=\"Bo\"\n    type=\"Relaxed\"\n    score=\"-7\">\n</score>\n", false, ""},
        {"server data", withServerData, "Ada", "", "umbrava", nullptr,
         head + "    name=\"Ada\"\n    type=\"Relaxed\"\n    game=\"umbrava\"\n"
                "    score=\"12345\"\n    data=\"level=3\"\n    ver=\"1.2\">\n"
                "<sd a=\"1\">x &amp; y</sd></score>",
         false, ""},
        {"medals", bare, "Ada", "pw", "", &medals,
         head + "    name=\"Ada\"\n    password=\"pw\"\n    type=\"Relaxed\"\n"
                "    score=\"-7\">\n<medal name=\"First Steps\" per=\"game\"/>"
                "<medal name=\"Quick\" per=\"type\"/></score>",
         true, "Ada"},
        {"server data and medals", withServerData, "Ada", "pw", "umbrava", &medals,
         head + "    name=\"Ada\"\n    password=\"pw\"\n    type=\"Relaxed\"\n"
                "    game=\"umbrava\"\n    score=\"12345\"\n    data=\"level=3\"\n"
                "    ver=\"1.2\">\n<sd a=\"1\">x &amp; y</sd><medal name=\"First Steps\" "
                "per=\"game\"/><medal name=\"Quick\" per=\"type\"/></score>",
         true, "Ada"},
        // The medals follow the whole server data, even when it holds an element "score".
        {"server data with a score element, and medals", nestedServerData, "Ada", "pw", "", &medals,
         head + "    name=\"Ada\"\n    password=\"pw\"\n    type=\"Relaxed\"\n"
                "    score=\"-7\">\n<best><score>10</score></best><medal name=\"First Steps\" "
                "per=\"game\"/><medal name=\"Quick\" per=\"type\"/></score>",
         true, "Ada"},
        {"an empty medal record", bare, "Ada", "pw", "", &noMedals,
         head + "    name=\"Ada\"\n    password=\"pw\"\n    type=\"Relaxed\"\n"
                "    score=\"-7\">\n</score>\n",
         false, "Ada"},
        {"escaped values", bare, "A&B \"q\" <x>", "p<w", "", nullptr,
         head + "    name=\"A&amp;B &quot;q&quot; &lt;x&gt;\"\n    password=\"p&lt;w\"\n"
                "    type=\"Relaxed\"\n    score=\"-7\">\n</score>\n",
         false, "A&B \"q\" <x>"},
    };
    TCrypt crypt(kKey);
    for (const Row& row : rows) {
        const THiscoreSubmission submission =
            MakeScoreSubmission(row.entry, row.name, row.password, "Relaxed", row.game, row.medals);
        EXPECT_EQ(std::string(submission.document.c_str()), row.expected) << row.what;
        EXPECT_EQ(submission.carriesMedals, row.carriesMedals) << row.what;
        EXPECT_EQ(submission.userName, str(row.userName)) << row.what;
        EXPECT_EQ(crypt.DecryptString(SealHiscoreDocument(crypt, submission.document)),
                  submission.document)
            << row.what;
    }
}

TEST(HiscoreRequestTest, MedalElements) {
    const THiscoreMedalRecord medals = TwoMedals();
    EXPECT_EQ(
        MakeMedalElements(medals, false),
        str("<medal name=\"First Steps\" per=\"game\"/><medal name=\"Quick\" per=\"type\"/>"));
    EXPECT_EQ(MakeMedalElements(medals, true),
              str("<medal name=\"First Steps\" per=\"game\"/>"
                  "<medal name=\"Quick\" per=\"type\" type=\"Expert\"/>"));
    EXPECT_EQ(MakeMedalElements(THiscoreMedalRecord{}, true), str());

    // A value cannot end its attribute or open an element; other bytes pass as they are.
    THiscoreMedalRecord odd;
    odd.medals.push_back(THiscoreMedal{"say \"hi\" & <go>", "type", "a\"b", "", false});
    odd.medals.push_back(THiscoreMedal{"na\xC3\xAFve's >", "game", "", "", false});
    EXPECT_EQ(MakeMedalElements(odd, true),
              str("<medal name=\"say &quot;hi&quot; &amp; &lt;go>\" per=\"type\" "
                  "type=\"a&quot;b\"/><medal name=\"na\xC3\xAFve's >\" per=\"game\"/>"));
}

}  // namespace
