#include "support/fakehiscore.h"

#include <cstdlib>

#include "foundation/prefs/crypt.h"
#include "support/zxmlwriter.h"

namespace testing_support {

namespace {

std::string DecodeForm(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> ParseForm(const std::string& body) {
    std::vector<std::pair<std::string, std::string>> fields;
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos) end = body.size();
        const std::string pair = body.substr(start, end - start);
        const size_t equals = pair.find('=');
        if (equals == std::string::npos)
            fields.emplace_back(DecodeForm(pair), "");
        else
            fields.emplace_back(DecodeForm(pair.substr(0, equals)),
                                DecodeForm(pair.substr(equals + 1)));
        start = end + 1;
    }
    return fields;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"')
            out += "&quot;";
        else if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string HiscoreRequest::Field(const std::string& name) const {
    for (const auto& [key, value] : fields)
        if (key == name) return value;
    return std::string();
}

bool HiscoreRequest::Has(const std::string& name) const {
    for (const auto& field : fields)
        if (field.first == name) return true;
    return false;
}

std::string HiscoreRequest::CheckFields() const {
    const std::string action = Field("action");
    std::vector<std::string> expected;
    if (action == "tables") {
        expected = {"lang", "ver", "action", "game"};
    } else if (action == "get") {
        expected = {"lang", "ver", "action", "game", "type"};
        if (Has("table")) expected.push_back("table");
        expected.push_back("numScores");
        if (Has("username")) expected.push_back("username");
    } else if (action == "submit") {
        expected = {"lang", "ver", "game", "action", "score"};
    } else if (action == "medals") {
        expected = {"lang", "ver", "game", "action", "medals"};
    } else {
        return "unknown action \"" + action + "\"";
    }
    std::string got;
    for (const auto& field : fields)
        got += field.first + " ";
    std::string want;
    for (const std::string& name : expected)
        want += name + " ";
    if (got != want) return "fields " + got + "instead of " + want;
    if (Field("ver") != "1.0") return "ver " + Field("ver");
    if (action == "get" && Field("numScores") != "500") return "numScores " + Field("numScores");
    if (action == "get" && Has("username") && Field("username").empty()) return "empty username";
    if ((action == "submit" || action == "medals") && document.empty())
        return "a document that does not decipher";
    return std::string();
}

std::string HiscoreReply(const std::string& inner) {
    return "<?xml version=\"1.0\"?>\n<hiscore>" + inner + "</hiscore>";
}

FakeHiscoreService::FakeHiscoreService(std::string key) : mKey(std::move(key)) {}

void FakeHiscoreService::AnswerTables(
    const std::vector<std::pair<std::string, std::string>>& tables) {
    std::string inner = "<tables>";
    for (const auto& [table, name] : tables)
        inner += "<table table=\"" + Escape(table) + "\" name=\"" + Escape(name) + "\"/>";
    AnswerText(200, HiscoreReply(inner + "</tables>"));
}

void FakeHiscoreService::AnswerScores(const std::vector<HiscoreRow>& rows) {
    std::string inner = "<scores>";
    for (const HiscoreRow& row : rows) {
        inner += "<score name=\"" + Escape(row.name) + "\" score=\"" + std::to_string(row.score) +
                 "\" rank=\"" + std::to_string(row.rank) + "\" data=\"" + Escape(row.data) +
                 "\" guid=\"" + Escape(row.guid) + "\"";
        if (row.account) inner += " account=\"true\"";
        if (row.anonymous) inner += " anonymous=\"true\"";
        inner += "/>";
    }
    AnswerText(200, HiscoreReply(inner + "</scores>"));
}

void FakeHiscoreService::AnswerSubmit(bool entered) {
    AnswerText(200, HiscoreReply(entered ? "<score rank=\"3\"/>" : "<ok/>"));
}

void FakeHiscoreService::AnswerMedalsAccepted() {
    AnswerText(200, HiscoreReply("<medals/>"));
}

void FakeHiscoreService::AnswerMessage(const std::string& message) {
    AnswerText(200, HiscoreReply("<message>" + message + "</message>"));
}

void FakeHiscoreService::AnswerProtocolError(const std::string& text) {
    AnswerText(200, HiscoreReply("<protocolError>" + text + "</protocolError>"));
}

void FakeHiscoreService::AnswerMalformed() {
    AnswerText(200, "<?xml version=\"1.0\"?>\n</tables><hiscre><tables><table table=\"x\"");
}

void FakeHiscoreService::AnswerHtmlError() {
    AnswerText(500,
               "<html><head><title>500 Internal Server Error</title></head><body><h1>Internal "
               "Server Error</h1></body></html>");
}

void FakeHiscoreService::AnswerZxml() {
    AnswerText(200, PackZxml(HiscoreReply("<tables><table table=\"z\" name=\"Z\"/></tables>")));
}

void FakeHiscoreService::AnswerStall() {
    mServer.Answer("/go/hiscore", FakeReply::StallAfterHeaders());
}

void FakeHiscoreService::AnswerReset() {
    mServer.Answer("/go/hiscore",
                   FakeReply::CutBody(HiscoreReply("<tables><table table=\"t\"/></tables>"), 20));
}

void FakeHiscoreService::AnswerText(int status, const std::string& body) {
    mServer.Answer("/go/hiscore", FakeReply::Text(status, body, "text/xml"));
}

std::vector<HiscoreRequest> FakeHiscoreService::Requests() const {
    TCrypt crypt(mKey.c_str());
    std::vector<HiscoreRequest> requests;
    for (const RecordedRequest& recorded : mServer.Requests()) {
        HiscoreRequest request;
        request.fields = ParseForm(recorded.body);
        const std::string action = request.Field("action");
        const char* sealed = action == "submit" ? "score" : action == "medals" ? "medals" : nullptr;
        if (sealed != nullptr)
            request.document = crypt.DecryptString(request.Field(sealed).c_str()).c_str();
        requests.push_back(std::move(request));
    }
    return requests;
}

}  // namespace testing_support
