// TBvHiscores: the hiscore and medal client. It keeps the player's local score tables, saved
// logins and medals (THiscoreStore, "user:hiscore.dat"), asks the hiscore service for its score
// categories and for one category's table, submits the player's first unsubmitted local score or
// pending medals, and hands the hiscore windows what they show.
//
// Every request is asynchronous and only one is pending: an operation starts it (replacing any
// request still running) and the caller polls until it ends:
//
//   hiscores.SetParameter(TBvHiscores::kPlayer, "Ann");
//   hiscores.SetParameter(TBvHiscores::kGameMode, "classic");
//   hiscores.RequestCategoryInformation();
//   ... each tick: int state = hiscores.Poll(error, sizeof error, nullptr);  // 1 running,
//                                                     // 0 done, 2 failed with the text in error
//
// The requests go to the service as HTTP form posts (TSimpleHttp), or through the optional
// server library beside the program (hiscoreserverlib.h); the replies are the same XML either
// way (hiscoreformats.h). The service's address is kBuiltInAddress, which never resolves, so out
// of the box every request fails at once with the connection error and nothing leaves the
// machine; a "hiscoreserver.txt" in the current folder names another. The client itself never
// adds a local score or medal: they come only from the saved file.
//
// A failed request leaves the store file and every submitted flag as they were; only a submission
// the service accepted flags the entries and saves the file.
//
// Settings read at construction: "encryptionkey", "bvgamehandle" (else "gamename"), "version",
// and for the server library "bvgamemodename1", "bvgamemodename2", ... and "bvgamemedalname1", ...
//
// Main thread only; the HTTP transfer runs on TSimpleHttp's worker.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"

class TBvHiscores {
public:
    // SetParameter's kinds.
    enum { kLanguage = 0, kPlayer = 1, kGameMode = 2 };
    // Poll's answers.
    enum { kDone = 0, kRunning = 1, kFailed = 2 };
    // GetUserEntry's kinds.
    enum { kLocalEntry = 0, kServiceEntry = 1 };

    // The service's address unless "hiscoreserver.txt" names another. A reserved name that
    // never resolves: this program has no hiscore service of its own.
    static constexpr char kBuiltInAddress[] = "https://hiscores.umbrava.invalid/go/hiscore";

    // saving: local data is written to disk only when set (the game settings pass true).
    explicit TBvHiscores(bool saving);
    ~TBvHiscores();
    TBvHiscores(const TBvHiscores&) = delete;
    TBvHiscores& operator=(const TBvHiscores&) = delete;

    // kLanguage (ignored while "hiscore.xml" fixes the language); kPlayer, which also forgets the
    // submit user name; kGameMode. Other kinds do nothing.
    void SetParameter(int kind, const str& value);

    void RequestCategoryInformation();
    // The table of the category at index (the service's choice for an index out of range).
    void RequestScores(int index);

    // kRunning while the request runs; kDone when it ended well; kFailed with the message copied
    // into error (at most size - 1 bytes and a NUL; nothing for a null buffer or a size below 1).
    // entered, when given, tells after an accepted score submission whether the score made the
    // service's table.
    int Poll(char* error, int size, bool* entered);

    int GetNumCategories() const;
    // The display name, copied as Poll copies its error; false for a null buffer or an index
    // out of range.
    bool GetCategoryName(int index, char* buffer, int size) const;
    // Entries of the current game mode's local table (0 without one), or of the service's table.
    int GetNumScores(bool local) const;
    // An entry of the local or the service's table; each output only when given (a buffer only
    // with a size of 1 or more), texts cut and NUL-terminated. False for an index out of range.
    bool GetScoreEntry(bool local, int index, int* rank, char* name, int nameSize,
                       uint8_t* anonymous, int* score, char* data, int dataSize) const;
    // kLocalEntry: the player's first unsubmitted entry in the current game mode's local table.
    // kServiceEntry: the player's entry in the service's table (the one it flagged as the
    // account's, else found by account name and guid). Other kinds: false.
    bool GetUserEntry(int kind, int* score, int* rank, char* data, int size) const;
    // The current player's saved login; false when there is none.
    bool GetUserLogin(str* name, str* password) const;

    // Checks the name (IsSingleByteText), then SubmitEntry without medals.
    bool SubmitScore(const str& name, const str& password, bool remember);
    // Submits the player's first unsubmitted local entry of the current game mode, with the
    // player's unsubmitted medals when asked (or the medals alone when no entry waits). remember
    // keeps the name and password as the player's saved login, else forgets it. False when
    // nothing was sent.
    bool SubmitEntry(const char* name, const char* password, bool remember, bool withMedals);
    // Submits medal elements (as MakeMedalElements writes them, with game modes). False for a
    // null argument or a name IsSingleByteText rejects.
    bool SubmitMedals(const char* medalElements, const char* name, const char* password,
                      bool remember);

    // False when a byte of the text is 0xC0 or above (foundation/utf8.h).
    bool IsSingleByteText(const str& text) const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
