// What the hiscore client and the hiscore service exchange: the form fields of its four requests,
// the score and medals documents that submissions carry, and the reading of the service's XML
// replies.
//
// The fields go to anything shaped like the HTTP client: AddField(name, text) and
// AddField(name, int), in the order the service expects. The documents are built as text and
// sealed (enciphered with the client's TCrypt, then base64) for their field.
//
// Replies are untrusted. They are read as plain XML text only, never the compressed form, and not
// at all beyond the HTTP client's cap on a reply; the readers look only at the levels the service
// uses. Each reader logs its failures with the client's texts and sets the last error to the
// service's message, or to "" when it gave none.
//
// Main thread only, like the client.
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/str.h"
#include "online/hiscorerecords.h"

class TCrypt;

// One score category of the service: its table id (sent back as "table") and its display name.
struct THiscoreCategory {
    str table;
    str name;

    bool operator==(const THiscoreCategory&) const = default;
};

// The HTTP client keeps at most this much of a reply; anything larger is not a reply.
constexpr size_t kMaxHiscoreReply = size_t{8} << 20;

template <class Http>
void AddCategoriesFields(Http& http, const str& language, const str& game) {
    http.AddField("lang", language.c_str());
    http.AddField("ver", "1.0");
    http.AddField("action", "tables");
    http.AddField("game", game.c_str());
}

// The table of the category at index; without a valid index the service picks its own.
// userName is the submit user name, sent only when not empty.
template <class Http>
void AddScoresFields(Http& http, const str& language, const str& game, const str& mode,
                     const std::vector<THiscoreCategory>& categories, int index,
                     const str& userName) {
    http.AddField("lang", language.c_str());
    http.AddField("ver", "1.0");
    http.AddField("action", "get");
    http.AddField("game", game.c_str());
    http.AddField("type", mode.c_str());
    if (index >= 0 && static_cast<size_t>(index) < categories.size())
        http.AddField("table", categories[static_cast<size_t>(index)].table.c_str());
    http.AddField("numScores", 500);
    if (userName.Length() != 0) http.AddField("username", userName.c_str());
}

namespace hiscorefields {
// The fields of both submissions: the sealed document goes last, in a field of its own name.
template <class Http>
void AddSealed(Http& http, const str& language, const str& game, const char* action,
               const char* field, const str& sealed) {
    http.AddField("lang", language.c_str());
    http.AddField("ver", "1.0");
    http.AddField("game", game.c_str());
    http.AddField("action", action);
    http.AddField(field, sealed.c_str());
}
}  // namespace hiscorefields

// sealedScore: the score document, sealed.
template <class Http>
void AddSubmitFields(Http& http, const str& language, const str& game, const str& sealedScore) {
    hiscorefields::AddSealed(http, language, game, "submit", "score", sealedScore);
}

// sealedMedals: the medals document, sealed.
template <class Http>
void AddMedalsFields(Http& http, const str& language, const str& game, const str& sealedMedals) {
    hiscorefields::AddSealed(http, language, game, "medals", "medals", sealedMedals);
}

// A document enciphered with the client's cipher and written as base64 text, ready for its field.
str SealHiscoreDocument(TCrypt& crypt, const str& document);

// A medal record as the service reads it: one "<medal name=… per=…/>" element per medal, in
// order, with "type" = the game mode for medals of scope "type" when withModes is set. Values are
// escaped.
str MakeMedalElements(const THiscoreMedalRecord& record, bool withModes);

// A submission: its plain document and what sending it does to the client.
struct THiscoreSubmission {
    str document;
    // The player's medal record went with the score: it becomes the pending medal record. Never
    // set for a medals submission: its elements come as text, and a caller that wrote them from a
    // record makes that record pending itself.
    bool carriesMedals = false;
    // The submit user name once it is sent.
    str userName;
};

// The score submission of a local entry. name may be null (no "name" attribute). medals: the
// player's record when medals are asked for, else null; it goes with the score only when a
// password is given and the record has medals.
THiscoreSubmission MakeScoreSubmission(const THiscoreEntry& entry, const char* name,
                                       const str& password, const str& mode, const str& game,
                                       const THiscoreMedalRecord* medals);
// The medals submission: medalElements as MakeMedalElements writes them, with game modes.
THiscoreSubmission MakeMedalsSubmission(const str& medalElements, const str& name,
                                        const str& password, const str& game);

// The replies, length bytes of reply (null reads as empty). Each answers true when the reply
// passed. The categories and the table are emptied first, so a failed reply leaves them empty;
// ownEntry is the index of the service's entry for the player's account, -1 when none.
bool ReadCategoriesReply(const char* reply, size_t length, str& lastError,
                         std::vector<THiscoreCategory>& categories);
bool ReadScoresReply(const char* reply, size_t length, str& lastError, THiscoreTable& table,
                     int& ownEntry);

enum class THiscoreSubmitOutcome { kFailed, kScoreAccepted, kMedalsAccepted };
// entered: the accepted score made the service's table (false unless the score was accepted).
THiscoreSubmitOutcome ReadSubmitReply(const char* reply, size_t length, str& lastError,
                                      bool& entered);
