// The binary form of an animation (".anm"), little-endian, in four tagged parts:
//   "ANIM" u32 (unused) i32 version, string sequence name, string source
//   "IMGN" i32 registration x, y, width, height; version 1 only: four unused floats;
//          string image name, string mask name
//   "FRMS" i32 frame count; per frame: i32 registration x, y, x, y, width, height;
//          above version 1: float opacity; six floats a to f; string name;
//          i32 anchor count; per anchor: i32 x, y, string name
//   "SCRP" string script (optional)
// A string is an i32 byte count n and n bytes; n <= 0 is the empty string.
//
// Files come from the asset folder and from archives, so nothing is taken on trust: every
// length and count is checked against the bytes left before anything is allocated, counts are
// capped, and a short read fails the load. The script part is optional: where it should begin,
// a file that ends, holds another tag or cuts its script short loads with the default script,
// since the frames are whole.
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/file/file.h"
#include "platform/animation/animatedtexture.h"

namespace {

// The most frames, and anchors per frame, a file may hold.
constexpr int32_t kMaxCount = 65535;

// Reads the parts of one open file, knowing how many bytes are left in it.
class TAnmReader {
public:
    explicit TAnmReader(TFile* file) : mFile(file), mLeft(FileGetSize(file)) {}

    int64_t Left() const { return mLeft; }

    bool Bytes(void* out, int32_t count) {
        if (count < 0 || count > mLeft) return false;
        if (FileRead(mFile, out, count) != count) return false;
        mLeft -= count;
        return true;
    }
    bool Int(int32_t* value) {
        uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        *value = static_cast<int32_t>(
            static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
            static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
        return true;
    }
    bool Float(float* value) {
        int32_t bits;
        if (!Int(&bits)) return false;
        std::memcpy(value, &bits, sizeof *value);
        return true;
    }
    // The next four bytes are the tag.
    bool Tag(const char* tag) {
        char b[4];
        return Bytes(b, 4) && std::memcmp(b, tag, 4) == 0;
    }
    bool String(str* value) {
        int32_t length;
        if (!Int(&length)) return false;
        if (length <= 0) {
            *value = str();
            return true;
        }
        if (length > mLeft) return false;
        std::vector<char> bytes(static_cast<size_t>(length));
        if (!Bytes(bytes.data(), length)) return false;
        *value = str(bytes.data(), length);
        return true;
    }
    // A count of items of at least itemSize bytes each: at most kMaxCount, and no more than the
    // bytes left can hold. A count of 0 or less is none.
    bool Count(int32_t* count, int64_t itemSize) {
        if (!Int(count)) return false;
        if (*count <= 0) {
            *count = 0;
            return true;
        }
        return *count <= kMaxCount && *count * itemSize <= mLeft;
    }

private:
    TFile* mFile;
    int64_t mLeft;
};

bool ReadFrame(TAnmReader& in, int32_t version, TAnimationFrame* frame) {
    if (!in.Int(&frame->mRegX) || !in.Int(&frame->mRegY) || !in.Int(&frame->mX) ||
        !in.Int(&frame->mY) || !in.Int(&frame->mWidth) || !in.Int(&frame->mHeight))
        return false;
    if (version > 1 && !in.Float(&frame->mOpacity)) return false;
    for (float& value : frame->mTransform)
        if (!in.Float(&value)) return false;
    int32_t anchorCount;
    if (!in.String(&frame->mName) || !in.Count(&anchorCount, 12)) return false;
    frame->mAnchors.resize(static_cast<size_t>(anchorCount));
    for (TAnimationAnchor& anchor : frame->mAnchors)
        if (!in.Int(&anchor.mX) || !in.Int(&anchor.mY) || !in.String(&anchor.mName)) return false;
    return true;
}

// Everything up to the script part.
bool ReadParts(TAnmReader& in, TAnimationData* data) {
    int32_t unused;
    int32_t version;
    if (!in.Tag("ANIM") || !in.Int(&unused) || !in.Int(&version) ||
        !in.String(&data->mSequenceName) || !in.String(&data->mSource))
        return false;

    if (!in.Tag("IMGN") || !in.Int(&data->mImageRegX) || !in.Int(&data->mImageRegY) ||
        !in.Int(&data->mImageWidth) || !in.Int(&data->mImageHeight))
        return false;
    if (version == 1) {
        float ignored;
        for (int i = 0; i < 4; ++i)
            if (!in.Float(&ignored)) return false;
    }
    if (!in.String(&data->mImageName) || !in.String(&data->mMaskName)) return false;

    // A frame holds at least its six numbers, the opacity, the transform, the name's length and
    // the anchor count.
    int32_t count;
    if (!in.Tag("FRMS") || !in.Count(&count, 24 + (version > 1 ? 4 : 0) + 24 + 4 + 4)) return false;
    std::vector<TAnimationFrame> frames(static_cast<size_t>(count));
    for (TAnimationFrame& frame : frames)
        if (!ReadFrame(in, version, &frame)) return false;
    data->SetFrames(std::move(frames));
    return true;
}

}  // namespace

bool TAnimatedTexture::LoadAnm(const str& path) {
    TFile* file = FileOpen(path, kFileReadBinary);
    if (file == nullptr) return false;
    TAnmReader in(file);
    TAnimationData& data = *mAnimation;
    bool ok = ReadParts(in, &data);
    if (ok) {
        str script;
        if (in.Left() >= 4 && in.Tag("SCRP") && in.String(&script))
            data.mScript = script;
        else
            data.mScript = MakeScript(data.GetFrameCount());
    }
    FileClose(file);
    return ok;
}
