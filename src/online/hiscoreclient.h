// The hiscore client's private state (TBvHiscores::Impl) and its set-up: what the settings, the
// server library, "::hiscore.xml" and "hiscoreserver.txt" give the client. Only bvhiscores.cpp
// and hiscoresetup.cpp see it.
//
// Main thread only, like the client.
#pragma once

#include <memory>
#include <vector>

#include "foundation/prefs/crypt.h"
#include "foundation/str.h"
#include "online/bvhiscores.h"
#include "online/hiscoreformats.h"
#include "online/hiscorerecords.h"
#include "online/hiscoreserverlib.h"
#include "online/hiscorestore.h"
#include "online/simplehttp.h"

struct TBvHiscores::Impl {
    // Request kinds; kNone until the first request.
    enum { kSubmit = 0, kScores = 1, kCategories = 2, kNone = 3 };

    Impl(const str& key, bool saving);
    // In this order: the service's table and the categories, the cipher, the local records, the
    // HTTP client, the library's server, the library.
    ~Impl();

    // The settings, the server library, "::hiscore.xml" and "hiscoreserver.txt", in that order
    // (hiscoresetup.cpp).
    void ReadSetup();
    void LoadServerLibrary();
    void ReadHiscoreXml();

    bool HasLibrary() const { return library.IsLoaded(); }
    // The HTTP client set to the address, with no fields yet.
    void ResetHttp();
    // Sends the fields over HTTP; with the library, its export was called instead.
    void SendHttp() { http->Send(1); }
    // The saved login by remember, as every submission does when it starts.
    void KeepLogin(const char* name, const char* password, bool remember);
    bool StartMedals(const char* medalElements, const char* name, const char* password,
                     bool remember);

    str ConnectionError() const;
    // The last error, else the connection error.
    str ReplyError() const;

    int PollSubmission(char* error, int size, bool* entered);

    str game;
    str key;
    str language = "en";
    str version;
    str player;
    str mode;
    int requestKind = kNone;
    std::unique_ptr<TSimpleHttp> http;
    std::vector<THiscoreCategory> categories;
    str serverUrl = TBvHiscores::kBuiltInAddress;
    str lastError;
    str reply;
    str submitUserName;
    THiscoreTable globalTable;
    int ownEntry = -1;
    THiscoreStore store;
    THiscoreTable* currentTable = nullptr;
    THiscoreMedalRecord* pendingMedals = nullptr;
    THiscoreEntry* currentEntry = nullptr;
    bool languageFixed = false;
    str defaultError;
    std::unique_ptr<TCrypt> crypt;
    THiscoreServerLibrary library;
    int server = 0;
};

// The address a "hiscoreserver.txt" names: its first line, at most 511 bytes, without leading or
// trailing blanks, CR and LF. Empty (logged) when the file is empty or names no http:// or
// https:// address; empty and silent when it does not open.
str ReadHiscoreServerFile(const char* path);

// The bounded copy of every text the client hands out: at most size - 1 bytes, then a NUL.
// A null buffer or a size below 1 is not written.
void CopyHiscoreText(const str& text, char* buffer, int size);
