// TSimpleHttp: one HTTP or HTTPS request at a time, fetched on a worker thread so that the UI
// thread never waits on the network. The caller sets the address, adds named fields, sends, and
// polls the state until the reply is there:
//
//   http.SetUrl("https://scores.example/submit", true, nullptr);
//   http.AddField("name", playerName);
//   http.Send(1);
//   ... later, each frame: if (http.GetState() == 1) Use(http.GetReply());
//
// Each Send starts a detached worker (online/httpwork.h) that owns its own copies of the request;
// the object only polls it. A new SetUrl or Send, or the destructor, abandons the pending request:
// its worker is told to stop at once and frees itself. No HTTP status reaches the caller: an error
// page is a reply like another, for the caller to judge.
//
// Limits: a reply kept in memory stops at 8 MiB and a download at 1 GiB (state 2, one log line);
// the transfer's time limits are the port layer's (port/http/wininet.h).
//
// Threads: a TSimpleHttp belongs to one thread (the UI thread); its workers share nothing with it
// but their state and reply, published with release and read with acquire.
#pragma once

#include <cstdint>

#include "foundation/str.h"

namespace online {
struct HttpWork;
}

class TSimpleHttp {
public:
    // GetState's answers.
    enum { kRunning = 0, kDone = 1, kFailed = 2, kFileFailed = 3 };

    TSimpleHttp();
    virtual ~TSimpleHttp();
    TSimpleHttp(const TSimpleHttp&) = delete;
    TSimpleHttp& operator=(const TSimpleHttp&) = delete;

    // Opens the shared internet session when it is not open yet; keeps the address, the mode
    // (fields in a POST body, else in the address) and the file the body goes to (null or empty:
    // the body is kept in memory); empties the form data and abandons a pending request.
    void SetUrl(const char* url, bool post, const char* downloadFile);
    // Appends name=value, the value encoded (EncodeFormValue), after "&" (or "?" before the first
    // field of a GET address). The name goes as it is.
    void AddField(const char* name, const char* value);
    void AddField(const char* name, int value);
    // Abandons a pending request and starts a new one. Options: bit 0 keeps a plain GET out of
    // the cache; bit 1 asks to accept a certificate for another host name, which is never done.
    void Send(uint32_t options);
    // kRunning, kDone, kFailed or kFileFailed; kFailed without a pending request.
    int GetState() const;
    // The reply at kDone when it was kept in memory; else null. Valid until the next SetUrl or
    // Send, or the destructor.
    const char* GetReply() const;

private:
    void Abandon();

    str mUrl;
    str mDownloadFile;
    str mFormData;
    bool mFirstField = true;
    bool mPostMode = false;
    online::HttpWork* mPending = nullptr;
};

// A field value as it goes into a form or an address: space, " # $ % & + , / : ; < = > ? @ [ \ ]
// ^ ` { | } become "%" and two upper-case hexadecimal digits; every other byte (control bytes
// and bytes from 126 up included) stays as it is. Null gives "".
str EncodeFormValue(const char* value);
