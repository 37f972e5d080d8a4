// The XML form of an animation: the element "sequence" with the children "img" (the sheet),
// "framelist" (its "frame" children, each with its "anchor" children) and an optional "script".
// Numbers read as atoi and atof read them, so an absent attribute is 0. A frame without "regx"
// or "xform" carries the previous frame's registration point or transform on.
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "platform/animation/animatedtexture.h"

namespace {

int32_t IntAttribute(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).ToInt();
}

// Up to six numbers a b c d e f; each after the next blank, so reading stops where no blank
// follows. The numbers not given stay 0.
void ReadTransform(const str& text, float transform[6]) {
    for (int i = 0; i < 6; ++i)
        transform[i] = 0.0f;
    const char* at = text.c_str();
    for (int i = 0; i < 6; ++i) {
        transform[i] = static_cast<float>(std::atof(at));
        const char* blank = std::strchr(at, ' ');
        if (blank == nullptr) break;
        at = blank + 1;
    }
}

std::vector<TAnimationAnchor> ReadAnchors(const TXmlNode* frameNode) {
    size_t count = 0;
    for (const TXmlNode* child : frameNode->GetChildren())
        if (child->GetName() == "anchor") ++count;
    std::vector<TAnimationAnchor> anchors;
    anchors.reserve(count);
    for (const TXmlNode* child : frameNode->GetChildren()) {
        if (child->GetName() != "anchor") continue;
        TAnimationAnchor anchor;
        anchor.mName = child->GetAttribute("name");
        anchor.mX = IntAttribute(child, "x");
        anchor.mY = IntAttribute(child, "y");
        anchors.push_back(anchor);
    }
    return anchors;
}

}  // namespace

bool TAnimatedTexture::LoadXml(const str& path) {
    TXmlNode root;
    root.LoadFile(path);
    const TXmlNode* sequence = root.FindChild("sequence");
    if (sequence == nullptr) {
        LogPrintf("Animation %s does not contain a sequence node", path.c_str());
        return false;
    }
    TAnimationData& data = *mAnimation;
    data.mSequenceName = sequence->GetAttribute("name");
    data.mSource = sequence->GetAttribute("source");
    bool ok = true;

    if (const TXmlNode* img = sequence->FindChild("img")) {
        if (img->GetAttribute("regx").Length() != 0) {
            data.mImageRegX = IntAttribute(img, "regx");
            data.mImageRegY = IntAttribute(img, "regy");
        }
        data.mImageWidth = IntAttribute(img, "w");
        data.mImageHeight = IntAttribute(img, "h");
        data.mImageName = img->GetAttribute("name");
        data.mMaskName = img->GetAttribute("mask");
    } else {
        LogPrintf("Animation %s does not contain an img node", path.c_str());
        ok = false;
    }

    const TXmlNode* frameList = sequence->FindChild("framelist");
    if (frameList == nullptr) {
        LogPrintf("Animation %s does not contain a framelist node", path.c_str());
        return false;
    }
    size_t count = 0;
    for (const TXmlNode* child : frameList->GetChildren())
        if (child->GetName() == "frame") ++count;
    if (count == 0) {
        LogPrintf("Animation %s does not contain any frames!", path.c_str());
        return false;
    }

    std::vector<TAnimationFrame> frames(count);
    size_t index = 0;
    for (const TXmlNode* node : frameList->GetChildren()) {
        if (node->GetName() != "frame") continue;
        TAnimationFrame& frame = frames[index];
        frame.mX = IntAttribute(node, "x");
        frame.mY = IntAttribute(node, "y");
        frame.mWidth = IntAttribute(node, "w");
        frame.mHeight = IntAttribute(node, "h");
        frame.mName = node->GetAttribute("name");
        str alpha = node->GetAttribute("alpha");
        frame.mOpacity = alpha.Length() != 0 ? alpha.ToFloat() : 1.0f;
        if (node->GetAttribute("regx").Length() != 0) {
            frame.mRegX = IntAttribute(node, "regx");
            frame.mRegY = IntAttribute(node, "regy");
        } else if (index > 0) {
            frame.mRegX = frames[index - 1].mRegX;
            frame.mRegY = frames[index - 1].mRegY;
        }
        str xform = node->GetAttribute("xform");
        if (xform.Length() != 0) {
            ReadTransform(xform, frame.mTransform);
        } else if (index > 0) {
            for (int i = 0; i < 6; ++i)
                frame.mTransform[i] = frames[index - 1].mTransform[i];
        }
        frame.mAnchors = ReadAnchors(node);
        ++index;
    }
    data.SetFrames(std::move(frames));

    if (const TXmlNode* script = sequence->FindChild("script")) {
        str text = script->GetAttribute("luascript");
        data.mScript = text.Length() != 0 ? text : script->GetText();
    } else {
        data.mScript = MakeScript(data.GetFrameCount());
    }
    return ok;
}
