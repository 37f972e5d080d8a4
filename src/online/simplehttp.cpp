#include "online/simplehttp.h"

#include <new>
#include <string_view>

#include "online/httpwork.h"

namespace {

// The bytes a form value cannot carry as they are.
constexpr std::string_view kEncodedBytes = " \"#$%&+,/:;<=>?@[\\]^`{|}";

}  // namespace

str EncodeFormValue(const char* value) {
    static const char kHex[] = "0123456789ABCDEF";
    str encoded;
    if (value == nullptr) return encoded;
    for (const char* c = value; *c != '\0'; ++c) {
        auto byte = static_cast<unsigned char>(*c);
        if (kEncodedBytes.find(*c) != std::string_view::npos) {
            char escape[3] = {'%', kHex[byte >> 4], kHex[byte & 15]};
            encoded.Append(escape, 3);
        } else {
            encoded += *c;
        }
    }
    return encoded;
}

TSimpleHttp::TSimpleHttp() = default;

TSimpleHttp::~TSimpleHttp() {
    Abandon();
}

void TSimpleHttp::SetUrl(const char* url, bool post, const char* downloadFile) {
    online::SharedInternetSession();
    mUrl = url;
    mPostMode = post;
    mDownloadFile = downloadFile;
    mFormData = "";
    mFirstField = true;
    Abandon();
}

void TSimpleHttp::AddField(const char* name, const char* value) {
    str& target = mPostMode ? mFormData : mUrl;
    if (mPostMode) {
        if (!mFirstField) target += '&';
    } else {
        target += mFirstField ? '?' : '&';
    }
    target += name;
    target += '=';
    target += EncodeFormValue(value);
    mFirstField = false;
}

void TSimpleHttp::AddField(const char* name, int value) {
    AddField(name, str::Format("%d", value).c_str());
}

void TSimpleHttp::Send(uint32_t options) {
    Abandon();
    auto* work = new (std::nothrow) online::HttpWork;
    if (work == nullptr) return;
    work->url = mUrl.c_str();
    work->downloadFile = mDownloadFile.c_str();
    work->formData = mFormData.c_str();
    work->postMode = mPostMode;
    work->options = options;
    work->session = online::SharedInternetSession();
    if (!online::StartHttpWork(work)) {
        delete work;
        return;
    }
    mPending = work;
}

int TSimpleHttp::GetState() const {
    if (mPending == nullptr) return kFailed;
    return mPending->state.load(std::memory_order_acquire);
}

const char* TSimpleHttp::GetReply() const {
    if (GetState() != kDone || !mPending->downloadFile.empty()) return nullptr;
    return mPending->reply.text.get();
}

void TSimpleHttp::Abandon() {
    if (mPending != nullptr) online::AbandonHttpWork(mPending);
    mPending = nullptr;
}
