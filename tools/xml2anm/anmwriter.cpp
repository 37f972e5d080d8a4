#include "anmwriter.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "foundation/xml/xmlnode.h"
#include "platform/animation/animatedtexture.h"
#include "platform/animation/animationdata.h"

namespace tools {
namespace {

class TAnmWriter {
public:
    void Tag(const char* tag) { mBytes.append(tag, 4); }
    void Int(int32_t value) {
        uint32_t bits = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            mBytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    void Float(float value) {
        int32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Int(bits);
    }
    void String(const str& value) {
        Int(static_cast<int32_t>(value.Length()));
        mBytes.append(value.c_str(), value.Length());
    }
    std::string Take() { return std::move(mBytes); }

private:
    std::string mBytes;
};

}  // namespace

std::string WriteAnm(const TAnimationData& data, bool withScript) {
    TAnmWriter out;
    out.Tag("ANIM");
    out.Int(0);
    out.Int(2);
    out.String(data.mSequenceName);
    out.String(data.mSource);

    out.Tag("IMGN");
    out.Int(data.mImageRegX);
    out.Int(data.mImageRegY);
    out.Int(data.mImageWidth);
    out.Int(data.mImageHeight);
    out.String(data.mImageName);
    out.String(data.mMaskName);

    out.Tag("FRMS");
    out.Int(data.GetFrameCount());
    for (const TAnimationFrame& frame : data.mFrames) {
        out.Int(frame.mRegX);
        out.Int(frame.mRegY);
        out.Int(frame.mX);
        out.Int(frame.mY);
        out.Int(frame.mWidth);
        out.Int(frame.mHeight);
        out.Float(frame.mOpacity);
        for (float value : frame.mTransform)
            out.Float(value);
        out.String(frame.mName);
        out.Int(static_cast<int32_t>(frame.mAnchors.size()));
        for (const TAnimationAnchor& anchor : frame.mAnchors) {
            out.Int(anchor.mX);
            out.Int(anchor.mY);
            out.String(anchor.mName);
        }
    }
    if (withScript) {
        out.Tag("SCRP");
        out.String(data.mScript);
    }
    return out.Take();
}

bool ConvertXmlToAnm(const str& xmlName, std::string* out) {
    auto animation = std::make_shared<TAnimatedTexture>(xmlName);
    if (!animation->LoadXml(xmlName)) return false;
    TXmlNode root;
    root.LoadFile(xmlName);
    const TXmlNode* sequence = root.FindChild("sequence");
    bool hasScript = sequence != nullptr && sequence->FindChild("script") != nullptr;
    *out = WriteAnm(animation->GetAnimation(), hasScript);
    return true;
}

}  // namespace tools
