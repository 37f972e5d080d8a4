#include "foundation/xml/xmlnode.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include "foundation/file/file.h"
#include "foundation/log.h"
#include "foundation/xml/xmlarena.h"
#include "foundation/xml/zxml.h"

namespace {

// A str of bytes that need not end in a NUL (a NUL among them ends it, as str does).
str ToStr(const char* bytes, size_t length) {
    if (bytes == nullptr) return str();
    return str(bytes, static_cast<int>(std::min<size_t>(length, INT_MAX - 1)));
}

// The next capacity of a list or text that must hold needed entries.
uint32_t Grown(uint32_t capacity, size_t needed, uint32_t first) {
    if (needed > UINT32_MAX) throw std::length_error("XML node list too long");
    size_t grown = capacity == 0 ? first : static_cast<size_t>(capacity) * 2;
    grown = std::max(grown, needed);
    return static_cast<uint32_t>(std::min<size_t>(grown, UINT32_MAX));
}

}  // namespace

TXmlNode::TXmlNode() : mOwnName() {}

TXmlNode::TXmlNode(const char* name) : mOwnName(name) {}

TXmlNode::TXmlNode(const str& name) : mOwnName(name) {}

TXmlNode::~TXmlNode() {
    // The nodes placed in this node's own arena are all below it, and go with the arena unless
    // one of them holds memory outside it.
    bool visitPlaced = true;
    if (mOwnsArena) {
        mArena->Close();
        visitPlaced = mArena->HoldsOutsideMemory();
    }
    for (TXmlNode* child : mChildren) {
        if (visitPlaced || !child->mPlaced) DestroyChild(child);
    }
    Give(mChildren.mData, mChildren.mCapacity * sizeof(TXmlNode*));
    for (uint32_t i = 0; i < mAttributeCount; ++i) {
        Attribute& attribute = mAttributes[i];
        if (attribute.owned) Give(const_cast<char*>(attribute.value), attribute.length);
        attribute.~Attribute();
    }
    Give(mAttributes, mAttributeCapacity * sizeof(Attribute));
    if (mTextCapacity != 0) Give(mText, mTextCapacity);
    if (!mNameInterned) mOwnName.~str();
    // Every node placed in the arena is below this one and is gone by now.
    if (mOwnsArena) delete mArena;
}

TXmlNode* TXmlNode::NewPlaced(TXmlArena* arena, const str& name) {
    arena->NoteOutsideMemory();
    TXmlNode* node = new (arena->Allocate(sizeof(TXmlNode))) TXmlNode(name);
    node->mArena = arena;
    node->mPlaced = true;
    return node;
}

TXmlArena* TXmlNode::DocumentArena() {
    if (mArena == nullptr) {
        mArena = new TXmlArena;
        mOwnsArena = true;
    }
    return mArena;
}

void* TXmlNode::Take(size_t bytes) {
    return mPlaced ? mArena->Allocate(bytes) : ::operator new(bytes);
}

void TXmlNode::Give(void* memory, size_t bytes) {
    if (memory == nullptr) return;
    if (mPlaced) {
        mArena->Free(memory, bytes);
    } else {
        ::operator delete(memory);
    }
}

void TXmlNode::DestroyChild(TXmlNode* child) {
    if (child->mPlaced) {
        // Placed nodes are always plain TXmlNodes: destroyed in place, their memory kept by the
        // arena for the next node.
        TXmlArena* arena = child->mArena;
        child->~TXmlNode();
        arena->Free(child, sizeof(TXmlNode));
    } else {
        delete child;
    }
}

str TXmlNode::GetText() const {
    return ToStr(mText != nullptr ? mText : "", mTextLength);
}

TXmlNode* TXmlNode::AddChild(const str& name) {
    if (mArena != nullptr) return AdoptChild(NewPlaced(mArena, name));
    return AdoptChild(new TXmlNode(name));
}

void TXmlNode::GrowChildren() {
    TXmlNodeList& list = mChildren;
    const uint32_t capacity = Grown(list.mCapacity, static_cast<size_t>(list.mSize) + 1, 2);
    TXmlNode** data = static_cast<TXmlNode**>(Take(capacity * sizeof(TXmlNode*)));
    if (list.mSize != 0) std::memcpy(data, list.mData, list.mSize * sizeof(TXmlNode*));
    Give(list.mData, list.mCapacity * sizeof(TXmlNode*));
    list.mData = data;
    list.mCapacity = capacity;
}

void TXmlNode::EndElement(const str&) {}

void TXmlNode::AppendTextBytes(const char* bytes, size_t length) {
    const size_t needed = mTextLength + (mTextLength != 0 ? 1 : 0) + length;
    if (needed >= UINT32_MAX) {
        LogPrintf("XML text of more than %u bytes: the rest is not kept", UINT32_MAX - 1);
        return;
    }
    if (mTextCapacity < needed) {
        // Also the first text of its own for a text that stood in the document.
        const uint32_t capacity = Grown(mTextCapacity, needed, 16);
        char* text = static_cast<char*>(Take(capacity));
        if (mTextLength != 0) std::memcpy(text, mText, mTextLength);
        if (mTextCapacity != 0) Give(mText, mTextCapacity);
        mText = text;
        mTextCapacity = capacity;
    }
    if (mTextLength != 0) mText[mTextLength++] = ' ';
    if (length != 0) std::memcpy(mText + mTextLength, bytes, length);
    mTextLength += static_cast<uint32_t>(length);
}

void TXmlNode::AppendText(const str& token, int length) {
    AppendTextBytes(token.c_str(), static_cast<size_t>(std::max(0, length)));
}

TXmlNode::Attribute::Attribute(Attribute&& other) noexcept
    : value(other.value),
      length(other.length),
      quoted(other.quoted),
      owned(other.owned),
      isInterned(other.isInterned) {
    if (isInterned) {
        interned = other.interned;
    } else {
        new (&own) str(std::move(other.own));
    }
}

TXmlNode::Attribute* TXmlNode::AttributeSlot() {
    if (mAttributeCount == mAttributeCapacity) {
        const uint32_t capacity =
            Grown(mAttributeCapacity, static_cast<size_t>(mAttributeCount) + 1, 2);
        Attribute* attributes = static_cast<Attribute*>(Take(capacity * sizeof(Attribute)));
        for (uint32_t i = 0; i < mAttributeCount; ++i) {
            new (&attributes[i]) Attribute(std::move(mAttributes[i]));
            mAttributes[i].~Attribute();
        }
        Give(mAttributes, mAttributeCapacity * sizeof(Attribute));
        mAttributes = attributes;
        mAttributeCapacity = capacity;
    }
    return &mAttributes[mAttributeCount++];
}

void TXmlNode::SetValue(Attribute& attribute, const char* bytes, size_t length) {
    if (attribute.owned) Give(const_cast<char*>(attribute.value), attribute.length);
    attribute.value = nullptr;
    attribute.length = 0;
    attribute.owned = false;
    if (length == 0) return;
    char* value = static_cast<char*>(Take(length));
    std::memcpy(value, bytes, length);
    attribute.value = value;
    attribute.length = static_cast<uint32_t>(length);
    attribute.owned = true;
}

void TXmlNode::AddAttribute(const str& name, const str& value, bool quoted) {
    if (mPlaced) mArena->NoteOutsideMemory();
    Attribute& attribute = PushAttribute();
    attribute.own = name;
    attribute.quoted = quoted;
    SetValue(attribute, value.c_str(), value.Length());
}

void TXmlNode::RemoveChild(TXmlNode* node) {
    if (node == nullptr) return;
    TXmlNode** begin = mChildren.mData;
    TXmlNode** end = begin + mChildren.mSize;
    // A walk with GetNextChild may remove the child it was just given: the cursor keeps pointing
    // at the child that comes next.
    const uint32_t walked = std::min(mChildCursor, mChildren.mSize);
    const uint32_t before = static_cast<uint32_t>(std::count(begin, begin + walked, node));
    TXmlNode** kept = std::remove(begin, end, node);
    if (kept == end) return;
    mChildren.mSize = static_cast<uint32_t>(kept - begin);
    mChildCursor -= std::min(before, mChildCursor);
    DestroyChild(node);
}

TXmlNode* TXmlNode::FindChild(const str& name) const {
    for (TXmlNode* child : mChildren) {
        if (child->Name() == name) return child;
    }
    return nullptr;
}

bool TXmlNode::GetNextChild(str& name, TXmlNode*& node) {
    if (mChildCursor >= mChildren.mSize) return false;
    node = mChildren.mData[mChildCursor++];
    name = node->Name();
    return true;
}

str TXmlNode::GetAttribute(const str& name, bool* quoted) const {
    for (uint32_t i = 0; i < mAttributeCount; ++i) {
        const Attribute& attribute = mAttributes[i];
        if (attribute.Name() == name) {
            if (quoted != nullptr) *quoted = attribute.quoted;
            return ToStr(attribute.value != nullptr ? attribute.value : "", attribute.length);
        }
    }
    return str();
}

void TXmlNode::SetAttribute(const str& name, const str& value) {
    for (uint32_t i = 0; i < mAttributeCount; ++i) {
        Attribute& attribute = mAttributes[i];
        if (attribute.Name() == name) {
            SetValue(attribute, value.c_str(), value.Length());
            attribute.quoted = true;
            return;
        }
    }
    AddAttribute(name, value, true);
}

void TXmlNode::SetAttributeInt(const str& name, int value) {
    SetAttribute(name, str::Format("%d", value));
}

bool TXmlNode::GetNextAttribute(str& name, str& value) {
    if (mAttributeCursor >= mAttributeCount) return false;
    const Attribute& attribute = mAttributes[mAttributeCursor++];
    name = attribute.Name();
    value = ToStr(attribute.value != nullptr ? attribute.value : "", attribute.length);
    return true;
}

void TXmlNode::LoadFile(const str& name) {
    LoadFile(name, kLargestFile);
}

bool TXmlNode::LoadFile(const str& name, uint32_t limit) {
    TFile file;
    if (!file.Open(name, kFileReadBinary)) return false;
    const int size = file.GetSize();
    if (size <= 0) return true;
    if (static_cast<uint32_t>(size) > limit) {
        LogPrintf("XML file %s not read: it holds %d bytes, more than the %u read", name.c_str(),
                  size, limit);
        return false;
    }
    std::unique_ptr<char[]> data(new char[static_cast<size_t>(size) + 1]);
    const int got = std::max(file.Read(data.get(), size), 0);
    file.Close();
    if (got < size) {
        LogPrintf("XML file %s cut short: the read stopped after %d of its %d bytes", name.c_str(),
                  got, size);
    }
    if (got == 0) return false;
    data[got] = '\0';
    if (IsZxml(data.get(), static_cast<size_t>(got)))
        return ParseCompressed(data.get(), static_cast<size_t>(got), &name) && got == size;
    ParseInPlace(std::move(data), static_cast<size_t>(got));
    return got == size;
}

void TXmlNode::ParseString(const char* text) {
    if (text == nullptr) return;
    ParseString(text, std::strlen(text));
}

void TXmlNode::ParseString(const char* text, size_t length) {
    if (text == nullptr || length == 0) return;
    if (IsZxml(text, length)) {
        ParseCompressed(text, length);
        return;
    }
    if (length > INT_MAX) {
        LogPrintf("XML text of %zu bytes is too large to read", length);
        return;
    }
    // The reader works on its own copy, decoding it in place.
    std::unique_ptr<char[]> copy(new char[length + 1]);
    std::memcpy(copy.get(), text, length);
    copy[length] = '\0';
    ParseInPlace(std::move(copy), length);
}

bool TXmlNode::ParseCompressed(const char* data, size_t length, const str* fileName) {
    std::unique_ptr<char[]> text;
    size_t textLength;
    std::string problem;
    if (!UnpackZxml(data, length, text, textLength, fileName != nullptr ? &problem : nullptr)) {
        if (fileName != nullptr)
            LogPrintf("XML file %s is damaged: %s", fileName->c_str(), problem.c_str());
        return false;
    }
    ParseInPlace(std::move(text), textLength);
    return true;
}
