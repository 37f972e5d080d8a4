#include "online/hiscoreformats.h"

#include <string>
#include <vector>

#include "foundation/log.h"
#include "foundation/prefs/crypt.h"
#include "foundation/saturate.h"
#include "foundation/xml/xmlnode.h"
#include "foundation/xml/zxml.h"

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\"?>\n";

// The service reads medal elements as XML, so a value must not end its attribute.
void AppendAttribute(std::string& out, const char* name, const str& value) {
    out += ' ';
    out += name;
    out += "=\"";
    for (const char* c = value.c_str(); *c != '\0'; ++c) {
        if (*c == '"')
            out += "&quot;";
        else if (*c == '&')
            out += "&amp;";
        else if (*c == '<')
            out += "&lt;";
        else
            out += *c;
    }
    out += '"';
}

// Appends content to the element's content: the document is cut at its end tag and closed again
// after content. The end tag is the last one: the attributes are escaped, but content inserted
// before (the server data) may hold an element of the same name.
void InsertContent(str& document, const char* endTag, const str& content) {
    const unsigned int at = document.Find(endTag, str::kBackward);
    if (at != str::npos) document.Erase(at);
    document += content;
    document += endTag;
}

str Written(TXmlNode& element) {
    return str(kDeclaration) + element.ToString();
}

// The reply's "hiscore" element when the reply passes the status check; else null, logged.
TXmlNode* CheckedRoot(TXmlNode& document, const char* reply, size_t length, str& lastError) {
    lastError = "";
    // The service sends plain text; a compressed or oversized reply reads as no reply at all.
    if (reply != nullptr && length <= kMaxHiscoreReply && !IsZxml(reply, length))
        document.ParseString(reply, length);
    TXmlNode* root = document.FindChild("hiscore");
    if (root == nullptr) {
        LogPrintf("HiScore XML parsing error!\n");
        return nullptr;
    }
    if (const TXmlNode* message = root->FindChild("message")) {
        lastError = message->GetText();
        LogPrintf("HiScore User Message: %s\n", lastError.c_str());
        return nullptr;
    }
    if (const TXmlNode* problem = root->FindChild("protocolError")) {
        LogPrintf("HiScore Protocol Error: %s\n", problem->GetText().c_str());
        return nullptr;
    }
    return root;
}

THiscoreEntry ReadServiceEntry(const TXmlNode* score) {
    THiscoreEntry entry;
    entry.name = score->GetAttribute("name");
    entry.gameData = score->GetAttribute("data");
    entry.serverData = score->GetAttribute("serverData");
    entry.version = score->GetAttribute("ver");
    entry.guid = score->GetAttribute("guid");
    entry.anonymous = score->GetAttribute("anonymous") == str("true");
    entry.score = TextToInt(score->GetAttribute("score"));
    entry.rank = TextToInt(score->GetAttribute("rank"));
    return entry;
}

}  // namespace

str SealHiscoreDocument(TCrypt& crypt, const str& document) {
    const int length = static_cast<int>(document.Length());
    const int size = crypt.Encrypt(document.c_str(), length, nullptr, 0, true);
    std::vector<char> sealed(static_cast<size_t>(size));
    crypt.Encrypt(document.c_str(), length, sealed.data(), size, true);
    return str(sealed.data());
}

str MakeMedalElements(const THiscoreMedalRecord& record, bool withModes) {
    std::string out;
    for (const THiscoreMedal& medal : record.medals) {
        out += "<medal";
        AppendAttribute(out, "name", medal.name);
        AppendAttribute(out, "per", medal.scope);
        if (withModes && medal.scope == str("type")) AppendAttribute(out, "type", medal.mode);
        out += "/>";
    }
    return str(out.c_str());
}

THiscoreSubmission MakeScoreSubmission(const THiscoreEntry& entry, const char* name,
                                       const str& password, const str& mode, const str& game,
                                       const THiscoreMedalRecord* medals) {
    const bool withPassword = password.Length() != 0;
    TXmlNode score("score");
    score.SetAttribute("guid", entry.guid);
    if (name != nullptr) score.SetAttribute("name", name);
    if (withPassword) score.SetAttribute("password", password);
    score.SetAttribute("type", mode);
    if (game.Length() != 0) score.SetAttribute("game", game);
    score.SetAttributeInt("score", entry.score);
    if (entry.gameData.Length() != 0) score.SetAttribute("data", entry.gameData);
    if (entry.version.Length() != 0) score.SetAttribute("ver", entry.version);

    THiscoreSubmission submission;
    submission.document = Written(score);
    // The server data is the service's own XML, handed back as it came: not checked here.
    if (entry.serverData.Length() != 0)
        InsertContent(submission.document, "</score>", entry.serverData);
    if (medals != nullptr && withPassword) {
        const str elements = MakeMedalElements(*medals, false);
        if (elements.Length() != 0) {
            InsertContent(submission.document, "</score>", elements);
            submission.carriesMedals = true;
        }
    }
    if (withPassword) submission.userName = name;
    return submission;
}

THiscoreSubmission MakeMedalsSubmission(const str& medalElements, const str& name,
                                        const str& password, const str& game) {
    TXmlNode medals("medals");
    medals.SetAttribute("name", name);
    medals.SetAttribute("password", password);
    if (game.Length() != 0) medals.SetAttribute("game", game);

    THiscoreSubmission submission;
    submission.document = Written(medals);
    InsertContent(submission.document, "</medals>", medalElements);
    submission.userName = name;
    return submission;
}

bool ReadCategoriesReply(const char* reply, size_t length, str& lastError,
                         std::vector<THiscoreCategory>& categories) {
    categories.clear();
    TXmlNode document;
    const TXmlNode* root = CheckedRoot(document, reply, length, lastError);
    if (root == nullptr) return false;
    const TXmlNode* tables = root->FindChild("tables");
    if (tables == nullptr) return false;
    for (const TXmlNode* table : tables->GetChildren()) {
        if (table->GetName() != str("table")) continue;
        categories.push_back(
            THiscoreCategory{table->GetAttribute("table"), table->GetAttribute("name")});
    }
    return true;
}

bool ReadScoresReply(const char* reply, size_t length, str& lastError, THiscoreTable& table,
                     int& ownEntry) {
    table = THiscoreTable();
    ownEntry = -1;
    TXmlNode document;
    const TXmlNode* root = CheckedRoot(document, reply, length, lastError);
    if (root == nullptr) return false;
    const TXmlNode* scores = root->FindChild("scores");
    if (scores == nullptr) {
        LogPrintf("HiScores parsed incorrectly\n");
        return false;
    }
    for (const TXmlNode* score : scores->GetChildren()) {
        if (score->GetName() != str("score")) continue;
        if (ownEntry < 0 && score->GetAttribute("account") == str("true")) ownEntry = table.Count();
        table.entries.push_back(ReadServiceEntry(score));
    }
    return true;
}

THiscoreSubmitOutcome ReadSubmitReply(const char* reply, size_t length, str& lastError,
                                      bool& entered) {
    entered = false;
    TXmlNode document;
    const TXmlNode* root = CheckedRoot(document, reply, length, lastError);
    if (root == nullptr) return THiscoreSubmitOutcome::kFailed;
    if (root->FindChild("medals") != nullptr) return THiscoreSubmitOutcome::kMedalsAccepted;
    entered = root->FindChild("score") != nullptr;
    return THiscoreSubmitOutcome::kScoreAccepted;
}
