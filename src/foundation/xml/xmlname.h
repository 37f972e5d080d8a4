// TXmlName: an element or attribute name interned in a document's arena (xmlarena.h), shared by
// every node of that name. It keeps the name's bytes in the arena and makes the str of them the
// first time the str is asked for, so that a document of many names pays for no str it never
// gives out. Made and destroyed by its arena; one thread at a time, as the tree.
#pragma once

#include <cstdint>

#include "foundation/str.h"

class TXmlName {
public:
    TXmlName(const char* bytes, uint32_t length) : mBytes(bytes), mLength(length) {}
    TXmlName(const TXmlName&) = delete;
    TXmlName& operator=(const TXmlName&) = delete;

    // The name as a str: the text before a NUL byte, should the name hold one.
    const str& Text() const {
        if (!mMade) {
            mText = str(mBytes, static_cast<int>(mLength));
            mMade = true;
        }
        return mText;
    }
    const char* Bytes() const { return mBytes; }
    uint32_t Length() const { return mLength; }

private:
    friend class TXmlArena;
    const char* mBytes;
    uint32_t mLength;
    mutable bool mMade = false;
    mutable str mText;
    TXmlName* mNext = nullptr;  // the arena's list of its names
};
