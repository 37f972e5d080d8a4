#include "foundation/str.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "foundation/utf8.h"

namespace {

constexpr int kMinCapacity = 16;
constexpr int kFormatBufferSize = 4096;

int AtLeastMin(long long needed) {
    if (needed > INT_MAX) return INT_MAX;
    return static_cast<int>(std::max<long long>(needed, kMinCapacity));
}

unsigned char Upper(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}
unsigned char Lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

}  // namespace

str::Rep* str::NewRep(int capacity) {
    void* block = ::operator new(sizeof(Rep) + static_cast<size_t>(capacity));
    Rep* rep = new (block) Rep;
    rep->uses.store(1, std::memory_order_relaxed);
    rep->capacity = capacity;
    return rep;
}

// A representation of the given capacity holding the first length bytes of text; the rest of the
// buffer is zero.
str::Rep* str::NewRepFrom(const char* text, unsigned int length, int capacity) {
    Rep* rep = NewRep(capacity);
    char* buffer = rep->Text();
    length = std::min<unsigned int>(length, static_cast<unsigned int>(capacity - 1));
    if (length > 0) std::memcpy(buffer, text, length);
    std::memset(buffer + length, 0, static_cast<size_t>(capacity) - length);
    return rep;
}

void str::Release() noexcept {
    if (mRep == nullptr) return;
    if (mRep->uses.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        mRep->~Rep();
        ::operator delete(mRep);
    }
    mRep = nullptr;
}

void str::Unshare() {
    if (mRep == nullptr || mRep->uses.load(std::memory_order_acquire) < 2) return;
    unsigned int length = Length();
    Rep* own = NewRepFrom(mRep->Text(), length, static_cast<int>(length) + 1);
    Release();
    mRep = own;
}

str::str(const char* text) {
    if (text == nullptr) {
        mRep = NewRepFrom("", 0, kMinCapacity);
        return;
    }
    size_t length = std::strlen(text);
    if (length >= INT_MAX) length = INT_MAX - 1;
    mRep = NewRepFrom(text, static_cast<unsigned int>(length), static_cast<int>(length) + 1);
}

str::str(const char* buffer, int count) {
    if (buffer == nullptr || count < 0) count = 0;
    if (count == INT_MAX) --count;
    // The text ends at the first NUL in the buffer, if any.
    unsigned int length =
        static_cast<unsigned int>(count > 0 ? strnlen(buffer, static_cast<size_t>(count)) : 0);
    mRep = NewRepFrom(buffer, length, AtLeastMin(static_cast<long long>(count) + 1));
}

str::str(const str& other) noexcept : mRep(other.mRep) {
    if (mRep) mRep->uses.fetch_add(1, std::memory_order_relaxed);
}

str& str::operator=(const str& other) noexcept {
    if (mRep == other.mRep) return *this;
    if (other.mRep) other.mRep->uses.fetch_add(1, std::memory_order_relaxed);
    Release();
    mRep = other.mRep;
    return *this;
}

str& str::operator=(str&& other) noexcept {
    if (this != &other) {
        Release();
        mRep = other.mRep;
        other.mRep = nullptr;
    }
    return *this;
}

str& str::operator=(const char* text) {
    return *this = str(text);
}

void str::Assign(const char* buffer, int count) {
    *this = str(buffer, count);
}

void str::Reserve(int size) {
    int capacity = std::max(size, kMinCapacity);
    Rep* fresh = NewRepFrom(c_str(), Length(), capacity);
    Release();
    mRep = fresh;
}

unsigned int str::Length() const {
    return mRep ? static_cast<unsigned int>(std::strlen(mRep->Text())) : 0;
}

char str::GetAt(unsigned int index) const {
    return index < Length() ? mRep->Text()[index] : '\0';
}

int str::Compare(const str& other) const {
    int result = std::strcmp(c_str(), other.c_str());  // strcmp compares as unsigned char
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int str::ToInt() const {
    return std::atoi(c_str());
}

float str::ToFloat() const {
    return static_cast<float>(std::atof(c_str()));
}

unsigned int str::FindChar(char c, unsigned int flags, unsigned int start) const {
    unsigned int length = Length();
    if (start >= length) return npos;
    const unsigned char* text = reinterpret_cast<const unsigned char*>(mRep->Text());
    bool ignoreCase = flags & kIgnoreCase;
    unsigned char wanted =
        ignoreCase ? Upper(static_cast<unsigned char>(c)) : static_cast<unsigned char>(c);
    auto matches = [&](unsigned int i) {
        return (ignoreCase ? Upper(text[i]) : text[i]) == wanted;
    };
    if (flags & kBackward) {
        for (unsigned int i = length - start; i-- > 0;) {
            if (matches(i)) return i;
        }
    } else {
        for (unsigned int i = start; i < length; ++i) {
            if (matches(i)) return i;
        }
    }
    return npos;
}

unsigned int str::Find(const str& needle, unsigned int flags, unsigned int start) const {
    unsigned int length = Length();
    if (start >= length) return npos;
    unsigned int n = needle.Length();
    // No candidate position at all: the needle is longer than what is left.
    if (n > length || start > length - n) return npos;
    const unsigned char* text = reinterpret_cast<const unsigned char*>(mRep->Text());
    const unsigned char* want = reinterpret_cast<const unsigned char*>(needle.c_str());
    bool ignoreCase = flags & kIgnoreCase;
    auto matchesAt = [&](unsigned int at) {
        for (unsigned int k = 0; k < n; ++k) {
            unsigned char a = text[at + k], b = want[k];
            if (ignoreCase ? Upper(a) != Upper(b) : a != b) return false;
        }
        return true;
    };
    if (flags & kBackward) {
        for (unsigned int at = length - n - start + 1; at-- > 0;) {
            if (matchesAt(at)) return at;
        }
    } else {
        for (unsigned int at = start; at <= length - n; ++at) {
            if (matchesAt(at)) return at;
        }
    }
    return npos;
}

unsigned int str::FindFirstOf(const str& set, unsigned int start) const {
    unsigned int length = Length();
    if (start >= length) return length;
    return start + static_cast<unsigned int>(std::strcspn(mRep->Text() + start, set.c_str()));
}

str str::operator+(const str& other) const {
    unsigned int a = Length(), b = other.Length();
    str result;
    result.mRep = NewRepFrom(c_str(), a, AtLeastMin(static_cast<long long>(a) + b + 1));
    std::memcpy(result.Buffer() + a, other.c_str(), b);
    return result;
}

str str::operator+(char c) const {
    unsigned int a = Length();
    str result;
    result.mRep = NewRepFrom(c_str(), a, AtLeastMin(static_cast<long long>(a) + 2));
    result.Buffer()[a] = c;
    return result;
}

bool str::Owns(const void* bytes) const {
    if (mRep == nullptr) return false;
    const char* p = static_cast<const char*>(bytes);
    return p >= mRep->Text() && p < mRep->Text() + mRep->capacity;
}

// The bytes must stay valid if the text grows: callers never pass bytes of this text.
void str::AppendBytes(const char* bytes, unsigned int count) {
    unsigned int a = Length();
    Unshare();
    long long needed = static_cast<long long>(a) + count + 1;
    if (needed > INT_MAX) return;
    if (mRep == nullptr || mRep->capacity < needed) Reserve(static_cast<int>(needed));
    std::memcpy(Buffer() + a, bytes, count);
    Buffer()[a + count] = '\0';
}

str& str::operator+=(const str& other) {
    str keep(other);  // other may be this very text
    if (Owns(keep.c_str())) keep = str(keep.c_str());
    AppendBytes(keep.c_str(), keep.Length());
    return *this;
}

str& str::operator+=(char c) {
    AppendBytes(&c, c == '\0' ? 0 : 1);
    return *this;
}

void str::Append(const char* buffer, int count) {
    if (buffer == nullptr || count <= 0) {
        AppendBytes("", 0);
        return;
    }
    if (Owns(buffer)) {
        *this += str(buffer, count);
        return;
    }
    AppendBytes(buffer, static_cast<unsigned int>(strnlen(buffer, static_cast<size_t>(count))));
}

int str::WriteAt(int position, const void* data, int count, bool terminate) {
    if (count < 0 || position < -1) return position;
    if (count > 0 && Owns(data)) {
        std::string bytes(static_cast<const char*>(data), static_cast<size_t>(count));
        return WriteAt(position, bytes.data(), count, terminate);
    }
    Unshare();
    // A terminated write at a known position never needs the old length: the writer's appends
    // (position = the previous result) stay linear.
    const bool needLength = position == -1 || !terminate;
    const unsigned int oldLength = needLength ? Length() : 0;
    if (position == -1) position = static_cast<int>(oldLength);
    long long needed = static_cast<long long>(position) + count + 1;
    if (needed > INT_MAX) return position;
    if (mRep != nullptr && mRep->capacity < needed) {
        long long capacity = std::max(mRep->capacity, 1);
        while (capacity < needed)
            capacity *= 2;
        Reserve(static_cast<int>(std::min<long long>(capacity, INT_MAX)));
    } else if (mRep == nullptr) {
        Reserve(static_cast<int>(needed));
    }
    char* buffer = Buffer();
    if (!terminate && static_cast<unsigned int>(position) > oldLength) {
        std::memset(buffer + oldLength, 0, position - oldLength);
    }
    if (count > 0) std::memcpy(buffer + position, data, static_cast<size_t>(count));
    if (terminate || static_cast<unsigned int>(position + count) > oldLength) {
        buffer[position + count] = '\0';
    }
    return position + count;
}

void str::Erase(unsigned int position, unsigned int count) {
    // Like every in-place edit, Erase takes its own copy first, even when it then removes nothing.
    Unshare();
    unsigned int length = Length();
    if (position >= length) return;
    char* buffer = Buffer();
    if (count == npos || static_cast<unsigned long long>(position) + count >= length) {
        buffer[position] = '\0';
        return;
    }
    std::memmove(buffer + position, buffer + position + count, length - position - count + 1);
}

str str::Substring(unsigned int start, unsigned int count) const {
    unsigned int length = Length();
    if (start >= length || count == 0) return str("", 0);
    unsigned int take = std::min(count, length - start);
    return str(mRep->Text() + start, static_cast<int>(take));
}

str& str::Replace(const str& find, const str& replacement, unsigned int flags, unsigned int start) {
    const str what(find), with(replacement);  // either may be this very text
    Unshare();
    const unsigned int f = what.Length(), r = with.Length();
    const long long delta = static_cast<long long>(r) - f;
    unsigned int match = Find(what, flags, start);
    while (match != npos) {
        unsigned int length = Length();
        if (delta > 0 && length + delta + 1 > mRep->capacity) {
            if (length + delta + 1 > INT_MAX) break;
            Reserve(static_cast<int>(length + delta + 1));
        }
        char* buffer = Buffer();
        if (delta != 0)
            std::memmove(buffer + match + r, buffer + match + f, length - match - f + 1);
        std::memcpy(buffer + match, with.c_str(), r);
        // An empty find text would match again at once, for ever.
        if (!(flags & kAllOccurrences) || f == 0) break;
        match = Find(what, flags, match + r);
    }
    return *this;
}

void str::ToLower() {
    Unshare();
    if (mRep == nullptr) return;
    for (char* p = Buffer(); *p; ++p)
        *p = static_cast<char>(Lower(static_cast<unsigned char>(*p)));
}

str str::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    str result = FormatV(format, args);
    va_end(args);
    return result;
}

str str::FormatV(const char* format, va_list args) {
    char buffer[kFormatBufferSize];
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    str result;
    if (length >= 0 && length < kFormatBufferSize) {
        result = str(buffer);
    } else if (length >= kFormatBufferSize && length < INT_MAX) {
        result.Reserve(length + 1);
        std::vsnprintf(result.Buffer(), static_cast<size_t>(length) + 1, format, again);
    }
    // A negative count is an encoding error: the result is the empty text.
    va_end(again);
    return result;
}

void str::Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    *this = FormatV(format, args);
    va_end(args);
}

str str::FromCodePoint(uint32_t codePoint) {
    char bytes[4];
    int count = Utf8Encode(codePoint, bytes);
    return count > 0 ? str(bytes, count) : str();
}
