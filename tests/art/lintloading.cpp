// The art as the program loads it: each description the program and the data ask for becomes a
// template as the precache makes it (GVFactory::GetObjectDesc, which builds the alpha masks) and
// a live object as a view makes it (GVFactory::CreateObject), every child of which starts at
// "normal" with a frame to show; every image is read by the texture loader and, as a file, has
// no gAMA chunk (its colours would shift where a decoder applies it), no side above 1024 and
// sides that are powers of two; every frame has a size and lies inside its image. Afterwards the
// name-key registry, with the program's own keys, holds at most kWordBudget words. The budgets: the
// files of the world's art and the surfaces of its images.
#include <filesystem>
#include <map>
#include <memory>

#include "foundation/file/file.h"
#include "gv/gvchilds.h"
#include "gv/gvfactory.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/gvtexture.h"
#include "gv/keys/flagmasktext.h"
#include "gv/keys/namemaskregistry.h"
#include "lintcontext.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "simulation/worldkeys.h"

namespace artlint {
namespace {

uint32_t BigEndian(const std::string& bytes, size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
}

bool IsPowerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

// The file's own chunks: the signature, IHDR's sides, no gAMA.
void CheckPngFile(Context& c, const std::string& image, const ImageUser& user) {
    std::string bytes, problem;
    if (ReadWholeFile(str(image.c_str()), kFileReadBinary, kLargestFile, bytes, problem) !=
        TWholeFile::kRead) {
        c.Report("image", user.description, user.child, "", image + " cannot be read");
        return;
    }
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 33 || bytes.compare(0, 8, kSignature, 8) != 0 ||
        bytes.compare(12, 4, "IHDR") != 0) {
        c.Report("image", user.description, user.child, "", image + " is not a PNG file");
        return;
    }
    const uint32_t width = BigEndian(bytes, 16), height = BigEndian(bytes, 20);
    const std::string sides = std::to_string(width) + " x " + std::to_string(height);
    if (width > uint32_t(TTextureData::kLargestSide) ||
        height > uint32_t(TTextureData::kLargestSide))
        c.Report("image", user.description, user.child, "",
                 image + " is " + sides + ": a side above 1024");
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height))
        c.Report("image", user.description, user.child, "",
                 image + " is " + sides + ": a side not a power of two");
    for (size_t at = 8; at + 8 <= bytes.size();) {
        const uint32_t length = BigEndian(bytes, at);
        const std::string type = bytes.substr(at + 4, 4);
        if (type == "gAMA")
            c.Report("image", user.description, user.child, "", image + " has a gAMA chunk");
        if (type == "IEND" || length > bytes.size() - at - 8) break;
        at += 12 + size_t(length);
    }
}

class Loader {
public:
    explicit Loader(Context& c) : mContext(c) {
        GVFactory& factory = GVFactory::Instance();
        factory.SetDescriptionPrefix("xml/");
        factory.SetTextureFolder("anim/");
        factory.SetScene(&mScene);
    }
    ~Loader() {
        mLive.clear();
        GVFactory::Instance().ReleaseAll();
        GVFactory::Instance().SetScene(nullptr);
    }

    void Load(const std::string& name) {
        GVFactory& factory = GVFactory::Instance();
        GVObject* desc = factory.GetObjectDesc(str(name.c_str()));
        if (desc == nullptr) {
            mContext.Report("load", name, "", "", "the factory makes no template of it");
            return;
        }
        GVObject* object = factory.CreateObject(str(name.c_str()), true);
        if (object == nullptr) {
            mContext.Report("load", name, "", "", "the factory makes no live object of it");
            return;
        }
        mLive.emplace_back(object);
        // Activated as a view shows it first: every child at "normal", with a frame to show.
        for (int32_t i = 0; i < object->GetChildCount(); ++i) {
            const GVObject* child = object->GetChilds()->GetAt(i);
            const std::string id = child->GetName().c_str();
            if (child->GetCurrentFrame() == nullptr)
                mContext.Report("load", name, id, "normal", "activates with no frame to show");
            if (child->GetStateId() != kNormal)
                mContext.Report("load", name, id, "normal", "does not start at \"normal\"");
        }
        Walk(name, object, true);
    }

private:
    void Walk(const std::string& name, GVObject* object, bool root) {
        const std::string id = root ? "" : object->GetName().c_str();
        const GVTextures* textures = object->GetTextures().get();
        const GVFrames* frames = object->GetFrames().get();
        if (frames != nullptr) {
            for (int32_t i = 0; i < frames->GetCount(); ++i) {
                const GVFrame* f = frames->GetAt(i);
                const std::string frame = "frame " + std::to_string(i);
                if (f->GetWidth() <= 0 || f->GetHeight() <= 0) {
                    mContext.Report("frames", name, id, "", frame + " has no size");
                    continue;
                }
                if (textures == nullptr || f->image < 0 || f->image >= textures->GetCount()) {
                    mContext.Report("frames", name, id, "", frame + " names no image of the set");
                    continue;
                }
                const std::shared_ptr<TTexture>& texture = textures->GetAt(f->image)->texture;
                if (texture == nullptr) continue;
                if (f->left < 0 || f->top < 0 || f->right > texture->GetWidth() ||
                    f->bottom > texture->GetHeight())
                    mContext.Report("frames", name, id, "",
                                    frame + " lies past the edge of its image " +
                                        std::to_string(texture->GetWidth()) + " x " +
                                        std::to_string(texture->GetHeight()));
            }
        }
        for (int32_t i = 0; i < object->GetChildCount(); ++i)
            Walk(name, object->GetChilds()->GetAt(i), false);
    }

    Context& mContext;
    const GNameMask kNormal = ParseFlagMask("normal");
    GVScene mScene;
    std::vector<std::unique_ptr<GVObject>> mLive;
};

}  // namespace

void CheckLoading(Context& c) {
    Loader loader(c);
    for (const std::string& name : c.cast.AllDescriptions()) {
        if (c.Find(name) != nullptr) loader.Load(name);
    }
    // Every image as the texture loader reads it (the factory's textures are these, cached).
    const std::map<std::string, ImageUser> images = NamedImages(c);
    for (const auto& [image, user] : images) {
        CheckPngFile(c, image, user);
        const std::shared_ptr<TTexture> texture = TTexture::Get(str(image.c_str()), 0);
        if (texture == nullptr) {
            c.Report("image", user.description, user.child, "",
                     image + " does not load as a texture");
            continue;
        }
        const TTextureData* data = texture->GetData();
        c.totals.surfaceBytes +=
            4.0 * double(data->GetSurfaceWidth()) * double(data->GetSurfaceHeight());
    }
    c.totals.images = int(images.size());
    c.totals.descriptions = int(c.descriptions.size());

    WorldKeys();
    c.totals.words = GNameMaskRegistry::Instance().GetWordCount();
    if (c.totals.words > kWordBudget)
        c.Report("words", "-", "", "",
                 std::to_string(c.totals.words) + " words in the name-key registry, above " +
                     std::to_string(kWordBudget));
}

void CheckBudgets(Context& c) {
    std::error_code error;
    double files = 0;
    for (const char* folder : {"anim", "xml"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(c.folder + folder, error)) {
            const std::string relative =
                std::filesystem::relative(entry.path(), c.folder).generic_string();
            if (!entry.is_regular_file() || relative.rfind("xml/logic/", 0) == 0) continue;
            files += double(entry.file_size());
        }
    }
    c.totals.fileBytes = files;
    if (files >= kFileBudgetBytes)
        c.Report("budget", "-", "", "",
                 "the art's files take " + std::to_string(files / 1e6) + " MB, 60 MB at most");
    if (c.totals.surfaceBytes >= kSurfaceBudgetBytes)
        c.Report("budget", "-", "", "",
                 "the art's surfaces take " +
                     std::to_string(c.totals.surfaceBytes / (1024.0 * 1024.0)) +
                     " MiB, 160 MiB at most");
}

}  // namespace artlint
