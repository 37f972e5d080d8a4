#include "online/bvhiscores.h"

#include "foundation/log.h"
#include "foundation/utf8.h"
#include "online/hiscoreclient.h"
#include "platform/platform.h"

namespace {

const char kUnableToConnect[] = "Unable to connect to server. Please try again later.";
const char kInvalidLogin[] = "hiscore.error.invalidUsernameOrPassword";

bool InRange(int index, int count) {
    return index >= 0 && index < count;
}

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// The service takes single-byte names only; any other is logged and not sent.
bool AcceptedName(const char* name) {
    if (IsSingleByteText(name)) return true;
    LogPrintf("ERROR -------- ERROR -------- Invalid User name %s", name);
    return false;
}

}  // namespace

// ---- The private state ----------------------------------------------------------------------

void TBvHiscores::Impl::ResetHttp() {
    http->SetUrl(serverUrl.c_str(), true, nullptr);
}

void TBvHiscores::Impl::KeepLogin(const char* name, const char* password, bool remember) {
    if (remember)
        store.Logins()[player] = THiscoreLogin{player, OrEmpty(name), OrEmpty(password)};
    else
        store.Logins().erase(player);
}

bool TBvHiscores::Impl::StartMedals(const char* medalElements, const char* name,
                                    const char* password, bool remember) {
    if (name == nullptr || password == nullptr || medalElements == nullptr) return false;
    if (!AcceptedName(name)) return false;
    const THiscoreSubmission submission = MakeMedalsSubmission(medalElements, name, password, game);
    ResetHttp();
    AddMedalsFields(*http, language, game, SealHiscoreDocument(*crypt, submission.document));
    if (HasLibrary())
        library.Exports().submitMedals(server, game.c_str(), mode.c_str(), name, password,
                                       medalElements, key.c_str());
    else
        SendHttp();
    requestKind = kSubmit;
    submitUserName = submission.userName;
    KeepLogin(name, password, remember);
    return true;
}

str TBvHiscores::Impl::ConnectionError() const {
    return defaultError.Length() != 0 ? defaultError : str(kUnableToConnect);
}

str TBvHiscores::Impl::ReplyError() const {
    return lastError.Length() != 0 ? lastError : ConnectionError();
}

int TBvHiscores::Impl::PollSubmission(char* error, int size, bool* entered) {
    bool inTable = false;
    const THiscoreSubmitOutcome outcome =
        ReadSubmitReply(reply.c_str(), reply.Length(), lastError, inTable);
    if (outcome == THiscoreSubmitOutcome::kFailed) {
        CopyHiscoreText(ReplyError(), error, size);
        // The service refused the saved login: it must not be offered again.
        if (reply.Find(kInvalidLogin) != str::npos) store.Logins().erase(player);
        return kFailed;
    }
    if (outcome == THiscoreSubmitOutcome::kScoreAccepted) {
        FlagEntriesSubmitted(currentTable, player.c_str());
        store.Save(*crypt);
    }
    if (entered != nullptr) *entered = outcome == THiscoreSubmitOutcome::kScoreAccepted && inTable;
    if (pendingMedals != nullptr) FlagMedalsSubmitted(*pendingMedals);
    pendingMedals = nullptr;
    return kDone;
}

// ---- The client ---------------------------------------------------------------------------

TBvHiscores::TBvHiscores(bool saving) {
    const str key = TPlatform::GetConfig("encryptionkey", "");
    if (key.Length() == 0)
        LogPrintf("ERROR: No encryption key set before TBvHiscores construction!");
    mImpl = std::make_unique<Impl>(key, saving);
    mImpl->ReadSetup();
}

TBvHiscores::~TBvHiscores() = default;

void TBvHiscores::SetParameter(int kind, const str& value) {
    Impl& s = *mImpl;
    if (kind == kLanguage) {
        if (!s.languageFixed) s.language = value;
    } else if (kind == kPlayer) {
        s.player = value;
        s.submitUserName = "";
    } else if (kind == kGameMode) {
        s.mode = value;
    }
}

void TBvHiscores::RequestCategoryInformation() {
    Impl& s = *mImpl;
    s.ResetHttp();
    AddCategoriesFields(*s.http, s.language, s.game);
    if (s.HasLibrary())
        s.library.Exports().requestCategoryInformation(s.server, s.game.c_str());
    else
        s.SendHttp();
    s.requestKind = Impl::kCategories;
}

void TBvHiscores::RequestScores(int index) {
    Impl& s = *mImpl;
    s.ResetHttp();
    AddScoresFields(*s.http, s.language, s.game, s.mode, s.categories, index, s.submitUserName);
    if (s.HasLibrary()) {
        const bool hasTable = InRange(index, static_cast<int>(s.categories.size()));
        const char* table =
            hasTable ? s.categories[static_cast<size_t>(index)].table.c_str() : nullptr;
        const char* user = s.submitUserName.Length() != 0 ? s.submitUserName.c_str() : nullptr;
        s.library.Exports().requestScores(s.server, s.game.c_str(), s.mode.c_str(), table, user);
    } else {
        s.SendHttp();
    }
    s.requestKind = Impl::kScores;
}

int TBvHiscores::Poll(char* error, int size, bool* entered) {
    Impl& s = *mImpl;
    if (s.http == nullptr) {
        CopyHiscoreText(s.ConnectionError(), error, size);
        return kFailed;
    }
    const int status =
        s.HasLibrary() ? s.library.Exports().getStatus(s.server) : s.http->GetState();
    if (status == 0) return kRunning;
    if (status != 1) {
        CopyHiscoreText(s.ConnectionError(), error, size);
        return kFailed;
    }
    // A library that answers null has sent nothing: that fails every reply's check.
    const char* text =
        s.HasLibrary() ? s.library.Exports().getContents(s.server) : s.http->GetReply();
    s.reply = OrEmpty(text);

    switch (s.requestKind) {
        case Impl::kCategories:
            if (ReadCategoriesReply(s.reply.c_str(), s.reply.Length(), s.lastError, s.categories))
                return kDone;
            CopyHiscoreText(s.ReplyError(), error, size);
            return kFailed;
        case Impl::kScores:
            if (ReadScoresReply(s.reply.c_str(), s.reply.Length(), s.lastError, s.globalTable,
                                s.ownEntry))
                return kDone;
            if (s.reply.Find("Missing required parameter: type") != str::npos)
                s.lastError = "Score request failed because game mode is not valid";
            else if (s.categories.empty())
                s.lastError =
                    "Score request failed because no category information has been "
                    "received yet";
            CopyHiscoreText(s.ReplyError(), error, size);
            return kFailed;
        case Impl::kSubmit:
            return s.PollSubmission(error, size, entered);
        default:
            return kDone;
    }
}

int TBvHiscores::GetNumCategories() const {
    return static_cast<int>(mImpl->categories.size());
}

bool TBvHiscores::GetCategoryName(int index, char* buffer, int size) const {
    if (buffer == nullptr || !InRange(index, GetNumCategories())) return false;
    CopyHiscoreText(mImpl->categories[static_cast<size_t>(index)].name, buffer, size);
    return true;
}

int TBvHiscores::GetNumScores(bool local) const {
    if (!local) return mImpl->globalTable.Count();
    const THiscoreTable* table = mImpl->store.FindLocalTable(mImpl->mode.c_str());
    return table != nullptr ? table->Count() : 0;
}

bool TBvHiscores::GetScoreEntry(bool local, int index, int* rank, char* name, int nameSize,
                                uint8_t* anonymous, int* score, char* data, int dataSize) const {
    const THiscoreTable* table =
        local ? mImpl->store.FindLocalTable(mImpl->mode.c_str()) : &mImpl->globalTable;
    if (table == nullptr || !InRange(index, table->Count())) return false;
    const THiscoreEntry& entry = table->entries[static_cast<size_t>(index)];
    if (rank != nullptr) *rank = entry.rank;
    CopyHiscoreText(entry.name, name, nameSize);
    if (anonymous != nullptr) *anonymous = entry.anonymous ? 1 : 0;
    if (score != nullptr) *score = entry.score;
    CopyHiscoreText(entry.gameData, data, dataSize);
    return true;
}

bool TBvHiscores::GetUserEntry(int kind, int* score, int* rank, char* data, int size) const {
    Impl& s = *mImpl;
    THiscoreTable* local = s.store.FindLocalTable(s.mode.c_str());
    const THiscoreEntry* found = nullptr;
    if (kind == kLocalEntry) {
        found = FirstUnsubmittedEntry(local, s.player.c_str());
    } else if (kind == kServiceEntry) {
        if (InRange(s.ownEntry, s.globalTable.Count())) {
            found = &s.globalTable.entries[static_cast<size_t>(s.ownEntry)];
        } else if (local != nullptr) {
            const auto login = s.store.Logins().find(s.player);
            const str account = login != s.store.Logins().end()  ? login->second.name
                                : s.submitUserName.Length() != 0 ? s.submitUserName
                                                                 : s.player;
            for (const THiscoreEntry& global : s.globalTable.entries) {
                if (found != nullptr) break;
                if (global.name != account) continue;
                // The local scores are kept best first: past one below this score, none can be it.
                for (const THiscoreEntry& mine : local->entries) {
                    if (mine.guid == global.guid) {
                        found = &global;
                        break;
                    }
                    if (mine.score < global.score) break;
                }
            }
        }
    }
    if (found == nullptr) return false;
    if (score != nullptr) *score = found->score;
    if (rank != nullptr) *rank = found->rank;
    CopyHiscoreText(found->gameData, data, size);
    return true;
}

bool TBvHiscores::GetUserLogin(str* name, str* password) const {
    const auto login = mImpl->store.Logins().find(mImpl->player);
    if (login == mImpl->store.Logins().end()) return false;
    if (name != nullptr) *name = login->second.name;
    if (password != nullptr) *password = login->second.password;
    return true;
}

bool TBvHiscores::SubmitScore(const str& name, const str& password, bool remember) {
    if (!AcceptedName(name.c_str())) return false;
    return SubmitEntry(name.c_str(), password.c_str(), remember, false);
}

bool TBvHiscores::SubmitEntry(const char* name, const char* password, bool remember,
                              bool withMedals) {
    Impl& s = *mImpl;
    s.pendingMedals = nullptr;
    s.currentTable = s.store.FindLocalTable(s.mode.c_str());
    s.currentEntry = FirstUnsubmittedEntry(s.currentTable, s.player.c_str());
    const auto record = s.store.Medals().find(s.player);
    THiscoreMedalRecord* medals =
        withMedals && record != s.store.Medals().end() ? &record->second : nullptr;
    if (s.currentEntry == nullptr) {
        if (medals == nullptr || CountUnsubmittedMedals(s.store.Medals(), s.player) == 0)
            return false;
        s.pendingMedals = medals;
        return s.StartMedals(MakeMedalElements(*medals, true).c_str(), name, password, remember);
    }

    const THiscoreEntry& entry = *s.currentEntry;
    const THiscoreSubmission submission =
        MakeScoreSubmission(entry, name, OrEmpty(password), s.mode, s.game, medals);
    if (submission.carriesMedals) s.pendingMedals = medals;
    s.ResetHttp();
    AddSubmitFields(*s.http, s.language, s.game,
                    SealHiscoreDocument(*s.crypt, submission.document));
    if (s.HasLibrary()) {
        str content = entry.serverData;
        if (submission.carriesMedals) content += MakeMedalElements(*medals, false);
        s.library.Exports().submitScore(s.server, s.game.c_str(), s.mode.c_str(), OrEmpty(name),
                                        OrEmpty(password), entry.guid.c_str(),
                                        entry.version.c_str(), entry.gameData.c_str(), entry.score,
                                        s.key.c_str(), content.c_str());
    } else {
        s.SendHttp();
    }
    s.requestKind = Impl::kSubmit;
    s.submitUserName = submission.userName;
    s.KeepLogin(name, password, remember);
    return true;
}

bool TBvHiscores::SubmitMedals(const char* medalElements, const char* name, const char* password,
                               bool remember) {
    // Medal elements from the caller: no record of ours to flag when they are accepted.
    mImpl->pendingMedals = nullptr;
    return mImpl->StartMedals(medalElements, name, password, remember);
}

bool TBvHiscores::IsSingleByteText(const str& text) const {
    return ::IsSingleByteText(text.c_str());
}
