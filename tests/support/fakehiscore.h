// A hiscore service for the hiscore client's tests, on the test HTTP server (fakehttp.h): it binds
// 127.0.0.1 only and answers "/go/hiscore" from a scripted state, one reply for every request
// until the script changes. It reads the requests back as the service would: the form fields
// decoded, the "score" or "medals" document deciphered with the test's key, and the fields checked
// against the layout of their action.
//
//   testing_support::FakeHiscoreService service("Umbrava12Key");
//   service.AnswerTables({{"t1", "Daily"}, {"t2", "All time"}});
//   ... the client points at service.Url() through "hiscoreserver.txt" ...
//   service.Requests()[0].Field("action") == "tables"
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/fakehttp.h"

namespace testing_support {

// One request as the service reads it.
struct HiscoreRequest {
    std::vector<std::pair<std::string, std::string>> fields;  // decoded, in order
    // The "score" or "medals" field deciphered; empty for the other actions.
    std::string document;

    // The first field of that name; empty without one.
    std::string Field(const std::string& name) const;
    bool Has(const std::string& name) const;
    // "" when the fields are the ones of their action, in order, with their fixed values; else
    // what is wrong.
    std::string CheckFields() const;
};

// A score as the service lists it.
struct HiscoreRow {
    std::string name;
    int score = 0;
    int rank = 0;
    std::string data;
    std::string guid;
    bool account = false;
    bool anonymous = false;
};

class FakeHiscoreService {
public:
    explicit FakeHiscoreService(std::string key);

    bool IsRunning() const { return mServer.IsRunning(); }
    // The service's address.
    std::string Url() const { return mServer.Url("/go/hiscore"); }
    FakeHttpServer& Server() { return mServer; }

    // The categories: (table id, display name).
    void AnswerTables(const std::vector<std::pair<std::string, std::string>>& tables);
    void AnswerScores(const std::vector<HiscoreRow>& rows);
    // An accepted score; entered: it made the table (a "score" child).
    void AnswerSubmit(bool entered);
    void AnswerMedalsAccepted();
    void AnswerMessage(const std::string& message);
    void AnswerProtocolError(const std::string& text);
    // A "hiscore" element never closed, with a stray end tag.
    void AnswerMalformed();
    void AnswerHtmlError();
    // The compressed XML form, which the client does not read from the network.
    void AnswerZxml();
    // Headers, then nothing until the client leaves.
    void AnswerStall();
    // Part of a reply, then the connection closed.
    void AnswerReset();
    void AnswerText(int status, const std::string& body);

    std::vector<HiscoreRequest> Requests() const;

private:
    std::string mKey;
    FakeHttpServer mServer;
};

// The document of a reply: "<hiscore>" + inner + "</hiscore>" after the declaration.
std::string HiscoreReply(const std::string& inner);

}  // namespace testing_support
