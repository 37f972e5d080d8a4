// str: the framework's one string type.
//
// A str is a single pointer to a shared representation (the text, a use count and the buffer's
// capacity), or null, which stands for the empty text. Copies share the representation; every
// operation that changes the text in place first takes a private copy when the representation is
// shared, so other holders keep the old text. The length is never stored: it is the position of
// the terminator, and the text never holds a NUL of its own.
//
// Capacities follow fixed rules that callers may observe (Capacity()):
//   - from a NUL-terminated pointer: exactly length + 1;
//   - from a null pointer: 16, holding the empty text;
//   - every other construction or growth: max(needed, 16), needed counting the terminator.
//
// Indices are byte indices. Searches answer npos (0xFFFFFFFF) when nothing is found.
//
// Threads: the use count is atomic, so copies of one text may be handed to and released by other
// threads; a single str value must still be used by one thread at a time.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>

class str {
public:
    static constexpr unsigned int npos = 0xFFFFFFFFu;

    // Search flags. kAllOccurrences belongs to Replace; the searches ignore it.
    enum : unsigned int { kIgnoreCase = 1, kAllOccurrences = 2, kBackward = 4 };

    str() noexcept : mRep(nullptr) {}
    str(const char* text);  // NOLINT: implicit on purpose, texts pass as str everywhere
    str(const char* buffer, int count);
    str(const str& other) noexcept;
    str(str&& other) noexcept : mRep(other.mRep) { other.mRep = nullptr; }
    ~str() { Release(); }

    str& operator=(const str& other) noexcept;
    str& operator=(str&& other) noexcept;
    str& operator=(const char* text);
    // Assigns the first count bytes of buffer.
    void Assign(const char* buffer, int count);
    // A fresh representation of capacity max(size, 16) holding the text (cut to fit).
    void Reserve(int size);

    const char* c_str() const { return mRep ? mRep->Text() : ""; }
    unsigned int Length() const;
    // The byte at index; 0 at or past the end.
    char GetAt(unsigned int index) const;
    // strcmp-style over unsigned bytes: -1, 0 or 1. Null compares as the empty text.
    int Compare(const str& other) const;
    int ToInt() const;
    float ToFloat() const;

    unsigned int FindChar(char c, unsigned int flags = 0, unsigned int start = 0) const;
    // In backward mode start counts from the end: 0 means from the last possible position.
    unsigned int Find(const str& needle, unsigned int flags = 0, unsigned int start = 0) const;
    // start + the length of the run from start holding no byte of set; the length when start is
    // at or past the end. Never npos.
    unsigned int FindFirstOf(const str& set, unsigned int start = 0) const;

    str operator+(const str& other) const;
    str operator+(char c) const;
    str& operator+=(const str& other);
    str& operator+=(char c);
    void Append(const char* buffer, int count);
    // Writes count bytes at position (-1: the current length), growing by doubling. Returns the
    // next write position, so a writer that passes it back appends in linear time. Without
    // terminate, a write past the old end zero-fills the gap, and a write that reaches past the
    // old end still ends the text after it.
    int WriteAt(int position, const void* data, int count, bool terminate);
    // Removes count bytes (npos: to the end) from position; a range past the end is cut there.
    void Erase(unsigned int position, unsigned int count = npos);
    str Substring(unsigned int start, unsigned int count = npos) const;
    // Replaces the first match from start, or with kAllOccurrences every later one too. An
    // empty find text replaces once, even with kAllOccurrences.
    str& Replace(const str& find, const str& replacement, unsigned int flags = 0,
                 unsigned int start = 0);
    // ASCII letters only, whatever the locale.
    void ToLower();

    static str Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static str FormatV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The UTF-8 encoding of a code point; empty when it has none.
    static str FromCodePoint(uint32_t codePoint);

    // The buffer size in bytes, terminator included; 0 without a representation.
    int Capacity() const { return mRep ? mRep->capacity : 0; }
    // How many str values share this text; 0 without a representation.
    int UseCount() const { return mRep ? mRep->uses.load(std::memory_order_relaxed) : 0; }

    friend bool operator==(const str& a, const str& b) { return a.Compare(b) == 0; }
    friend bool operator!=(const str& a, const str& b) { return a.Compare(b) != 0; }
    // The key order of every map keyed by str.
    friend bool operator<(const str& a, const str& b) { return a.Compare(b) < 0; }

private:
    // The text lives in the same block, right after this header.
    struct Rep {
        std::atomic<int> uses;
        int capacity;
        char* Text() { return reinterpret_cast<char*>(this + 1); }
    };

    static Rep* NewRep(int capacity);
    static Rep* NewRepFrom(const char* text, unsigned int length, int capacity);
    void Release() noexcept;
    void Unshare();
    // Whether bytes lie inside this text's buffer.
    bool Owns(const void* bytes) const;
    void AppendBytes(const char* bytes, unsigned int count);
    char* Buffer() { return mRep->Text(); }

    Rep* mRep;
};
