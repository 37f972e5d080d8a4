// TCrypt: the program's cipher for what it keeps on the player's disk (preferences, local
// hiscores), keyed from a short key text (the setting "encryptionkey"). The key text is brought
// to 12 characters (cut, or filled with "A"), its last three are forced to "AAA", and its base64
// reading, 9 bytes, keys Blowfish. So only the first 9 characters count, and a short key equals
// itself filled with "A".
//
// Encrypt and Decrypt follow one convention: they answer 0 when the result was written to out
// (LastLength then tells its size); otherwise, with out null or capacity too small, they write
// nothing and answer the size out must have. With base64 the enciphered bytes travel as base64
// text: Encrypt writes it with a closing NUL (counted in its size), Decrypt reads it.
//
// An object is keyed once, then used by one thread at a time.
#pragma once

#include <memory>

#include "foundation/str.h"

class TBlowfish;

class TCrypt {
public:
    explicit TCrypt(const str& key);
    ~TCrypt();
    TCrypt(const TCrypt&) = delete;
    TCrypt& operator=(const TCrypt&) = delete;

    int Encrypt(const void* data, int length, void* out, int capacity, bool base64);
    // An input that deciphers to nothing (no bytes, or pad bytes that do not fit) needs 0 bytes:
    // with out given it answers 0 and LastLength becomes 0; a size query answers 0 too.
    int Decrypt(const void* data, int length, void* out, int capacity, bool base64);
    int LastLength() const { return mLastLength; }
    // The deciphered base64 text up to its first NUL (or its end); empty when nothing results.
    str DecryptString(const str& text);

    // The 12-character key text that TCrypt(key) reads.
    static str PrepareKey(const str& key);

private:
    std::unique_ptr<TBlowfish> mCipher;
    int mLastLength = 0;
};
