#include "foundation/xmlnode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "foundation/file.h"
#include "foundation/zxml.h"

TXmlNode::TXmlNode() = default;

TXmlNode::TXmlNode(const char* name) : mName(name) {}

TXmlNode::TXmlNode(const str& name) : mName(name) {}

TXmlNode::~TXmlNode() {
    for (TXmlNode* child : mChildren)
        delete child;
}

str TXmlNode::GetText() const {
    return str(mText.data(), static_cast<int>(mText.size()));
}

TXmlNode* TXmlNode::AddChild(const str& name) {
    return AdoptChild(new TXmlNode(name));
}

TXmlNode* TXmlNode::AdoptChild(TXmlNode* child) {
    if (child != nullptr) mChildren.push_back(child);
    return child;
}

void TXmlNode::EndElement(const str&) {}

void TXmlNode::AppendText(const str& token, int length) {
    if (!mText.empty()) mText += ' ';
    mText.append(token.c_str(), static_cast<size_t>(std::max(0, length)));
}

void TXmlNode::AddAttribute(const str& name, const str& value, bool quoted) {
    if (mAttributes.empty()) mAttributes.reserve(4);
    mAttributes.push_back(Attribute{name, value, quoted});
}

void TXmlNode::RemoveChild(TXmlNode* node) {
    if (node == nullptr) return;
    // A walk with GetNextChild may remove the child it was just given: the cursor keeps pointing
    // at the child that comes next.
    const size_t before = static_cast<size_t>(std::count(
        mChildren.begin(),
        mChildren.begin() + static_cast<std::ptrdiff_t>(std::min(mChildCursor, mChildren.size())),
        node));
    auto end = std::remove(mChildren.begin(), mChildren.end(), node);
    if (end == mChildren.end()) return;
    mChildren.erase(end, mChildren.end());
    mChildCursor -= std::min(before, mChildCursor);
    delete node;
}

TXmlNode* TXmlNode::FindChild(const str& name) const {
    for (TXmlNode* child : mChildren) {
        if (child->mName == name) return child;
    }
    return nullptr;
}

bool TXmlNode::GetNextChild(str& name, TXmlNode*& node) {
    if (mChildCursor >= mChildren.size()) return false;
    node = mChildren[mChildCursor++];
    name = node->mName;
    return true;
}

str TXmlNode::GetAttribute(const str& name, bool* quoted) const {
    for (const Attribute& attribute : mAttributes) {
        if (attribute.name == name) {
            if (quoted != nullptr) *quoted = attribute.quoted;
            return attribute.value;
        }
    }
    return str();
}

void TXmlNode::SetAttribute(const str& name, const str& value) {
    for (Attribute& attribute : mAttributes) {
        if (attribute.name == name) {
            attribute.value = value;
            attribute.quoted = true;
            return;
        }
    }
    mAttributes.push_back(Attribute{name, value, true});
}

void TXmlNode::SetAttributeInt(const str& name, int value) {
    SetAttribute(name, str::Format("%d", value));
}

bool TXmlNode::GetNextAttribute(str& name, str& value) {
    if (mAttributeCursor >= mAttributes.size()) return false;
    const Attribute& attribute = mAttributes[mAttributeCursor++];
    name = attribute.name;
    value = attribute.value;
    return true;
}

void TXmlNode::LoadFile(const str& name) {
    TFile file;
    if (!file.Open(name, kFileReadBinary)) return;
    const int size = file.GetSize();
    if (size <= 0) return;
    std::unique_ptr<char[]> data(new char[static_cast<size_t>(size)]);
    const int got = file.Read(data.get(), size);
    file.Close();
    if (got <= 0) return;
    ParseString(data.get(), static_cast<size_t>(got));
}

void TXmlNode::ParseString(const char* text) {
    if (text == nullptr) return;
    ParseString(text, std::strlen(text));
}

void TXmlNode::ParseString(const char* text, size_t length) {
    if (text == nullptr) return;
    if (IsZxml(text, length)) {
        ParseCompressed(text, length);
    } else {
        ParsePlain(text, length);
    }
}

void TXmlNode::ParseCompressed(const char* data, size_t length) {
    std::unique_ptr<char[]> text;
    size_t textLength;
    if (UnpackZxml(data, length, text, textLength)) ParsePlain(text.get(), textLength);
}
