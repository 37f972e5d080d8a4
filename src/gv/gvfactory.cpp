#include "gv/gvfactory.h"

#include <cerrno>
#include <cstdlib>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "gv/gvchilds.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvobjectcreator.h"
#include "gv/gvtexture.h"
#include "gv/keys/namemaskregistry.h"
#include "gv/keys/statekeys.h"

namespace {

// The object a context stands for: itself when it is an object, else its owner object (a child
// list's). parent: ask GetParent instead of GetOwner (the same object for both kinds).
GVObject* ObjectOf(GVBase* context, bool parent) {
    if (context == nullptr) return nullptr;
    GVBase* owner = parent ? context->GetParent() : context->GetOwner();
    return owner != nullptr && owner->GetKind() == GVBase::kObject ? static_cast<GVObject*>(owner)
                                                                   : nullptr;
}

// The text up to the first c, or all of it.
str UpTo(const str& text, char c) {
    const unsigned int at = text.FindChar(c);
    return at == str::npos ? text : text.Substring(0, at);
}

// Puts the factory's mode back when a creation returns.
class ModeRestore {
public:
    ModeRestore(int32_t& mode) : mMode(mode), mSaved(mode) {}
    ~ModeRestore() { mMode = mSaved; }

private:
    int32_t& mMode;
    int32_t mSaved;
};

}  // namespace

TXmlNode* GVFactory::GVObjectCreator::LoadDescription(const str& key,
                                                      std::unique_ptr<TXmlNode>& document) {
    document = std::make_unique<TXmlNode>();
    document->LoadFile(UpTo(key, '@'));
    return FindObjectDescription(key, document->FindChild("main"));
}

void GVFactory::GVObjectCreator::FreeDescription(std::unique_ptr<TXmlNode>& document) {
    document.reset();
}

// The creators are registered here, in the factory's own file, so no program can link the
// factory without them.
std::map<str, GVFactory::CreatorClass>& GVFactory::CreatorClasses() {
    static std::map<str, CreatorClass> classes = [] {
        std::map<str, CreatorClass> builtIn;
        builtIn["default"] = [](GVFactory* factory) { return new GVDefaultObjectCreator(factory); };
        builtIn["text"] = [](GVFactory* factory) { return new GVTextObjectCreator(factory); };
        return builtIn;
    }();
    return classes;
}

GVFactory& GVFactory::Instance() {
    // The templates hold name keys: the registry must outlive the factory, so it is made first.
    GNameMaskRegistry::Instance();
    GetStateKeys();
    static GVFactory factory;
    return factory;
}

GVFactory::GVFactory() {
    CreatorClasses();
}

GVFactory::~GVFactory() {
    ReleaseAll();
    mCreators.clear();
}

void GVFactory::ReleaseAll() {
    // A template's destruction must not find itself in the cache half-erased: move it out first.
    std::map<str, std::shared_ptr<GVObject>> cache;
    cache.swap(mCache);
    cache.clear();
}

str GVFactory::MakeKey(const str& name, GVObject* owner) const {
    if (name.GetAt(0) == '?') return str();
    if (name.Length() == 0 && owner == nullptr) return str();
    str part = UpTo(name, '?');
    if (part.Length() == 0) part = str::Format("#%d", owner->GetChildCount());
    if (owner == nullptr) return mDescriptionPrefix + part + ".xml";
    str key = mDescriptionPrefix + owner->GetName() + ".xml@";
    for (GVObject* up = owner->GetParentObject(); up != nullptr; up = up->GetParentObject())
        key += up->GetName() + "@";
    return key + part;
}

GVFactory::GVObjectCreator* GVFactory::GetCreator(const str& name) {
    const unsigned int question = name.FindChar('?');
    const str creatorName = question == str::npos ? str("default") : name.Substring(question + 1);
    auto made = mCreators.find(creatorName);
    if (made != mCreators.end()) return made->second.get();
    auto found = CreatorClasses().find(creatorName);
    if (found == CreatorClasses().end()) return nullptr;
    GVObjectCreator* creator = found->second(this);
    mCreators[creatorName].reset(creator);
    return creator;
}

TXmlNode* GVFactory::FindObjectDescription(const str& key, TXmlNode* main) {
    unsigned int at = key.FindChar('@');
    if (at == str::npos) return main;
    TXmlNode* element = main;
    while (at != str::npos) {
        if (element == nullptr) return nullptr;
        const unsigned int next = key.FindChar('@', 0, at + 1);
        const str segment = key.Substring(at + 1, next == str::npos ? str::npos : next - at - 1);
        at = next;
        TXmlNode* objects = element->FindChild("objects");
        if (objects == nullptr) return nullptr;
        const TXmlNodeList& children = objects->GetChildren();
        element = nullptr;
        const char* text = segment.c_str();
        char* end = nullptr;
        errno = 0;
        const long long position = text[0] == '#' && text[1] != '\0' ? std::strtoll(text + 1, &end, 10) : 0;
        if (end != nullptr && *end == '\0') {
            // "#n": by position.
            if (errno == 0 && position >= 0 && static_cast<unsigned long long>(position) < children.size())
                element = children[static_cast<size_t>(position)];
        } else {
            for (TXmlNode* child : children)
                if (child->GetAttribute("id") == segment) {
                    element = child;
                    break;
                }
        }
    }
    return element;
}

GVObject* GVFactory::CreateGuarded(GVObjectCreator* creator, const str& key, TXmlNode* node,
                                   GVObject* owner) {
    if (key.Length() != 0 && mLoading.count(key) != 0) {
        LogPrintf("GVFactory: %s is already being loaded; it cannot contain itself\n", key.c_str());
        return nullptr;
    }
    if (mDepth >= kMaxDepth) {
        LogPrintf("GVFactory: %s is nested more than %d deep\n", key.c_str(), kMaxDepth);
        return nullptr;
    }
    const bool tracked = key.Length() != 0 && mLoading.insert(key).second;
    ++mDepth;
    GVObject* object = creator->Create(key, node, owner);
    --mDepth;
    if (tracked) mLoading.erase(key);
    return object;
}

std::shared_ptr<GVTextures> GVFactory::LoadTextures(TXmlNode* node, GVBase* context) {
    auto textures = std::make_shared<GVTextures>(mTextureFolder);
    if (textures->Load(node, context)) return textures;
    GVObject* parent = ObjectOf(context, true);
    return parent != nullptr ? parent->GetTextures() : std::shared_ptr<GVTextures>();
}

std::shared_ptr<GVFrames> GVFactory::LoadFrames(TXmlNode* node, GVBase* context) {
    auto frames = std::make_shared<GVFrames>();
    if (frames->Load(node, context)) return frames;
    return std::shared_ptr<GVFrames>();
}

GVObject* GVFactory::Create(TXmlNode* node, const str& name, bool useCache, GVBase* context) {
    ModeRestore restore(mMode);
    if (mMode != kModeIdle)
        useCache = mMode == kModeCached;
    else
        mMode = useCache ? kModeCached : kModeDirect;
    if (node == nullptr && name.Length() == 0) return nullptr;
    GVObject* owner = ObjectOf(context, true);
    const str key = MakeKey(name, owner);
    GVObjectCreator* creator = GetCreator(name);
    if (creator == nullptr) return nullptr;
    GVObject* object = nullptr;
    if (!useCache) {
        object = CreateGuarded(creator, key, node, ObjectOf(context, false));
    } else {
        auto cached = mCache.find(key);
        GVObject* source = cached != mCache.end() ? cached->second.get()
                                                  : LoadObjectDesc(name, node, context);
        if (source == nullptr) return nullptr;
        object = creator->Clone(source);
    }
    if (object == nullptr) return nullptr;
    if (!creator->Activate(object, mScene, owner, true)) {
        delete object;
        return nullptr;
    }
    return object;
}

GVObject* GVFactory::LoadObjectDesc(const str& name, TXmlNode* node, GVBase* context) {
    GVObject* owner = ObjectOf(context, false);
    const str key = MakeKey(name, owner);
    auto cached = mCache.find(key);
    if (cached != mCache.end()) return cached->second.get();
    GVObjectCreator* creator = GetCreator(name);
    if (creator == nullptr) return nullptr;
    GVObject* object = CreateGuarded(creator, key, node, owner);
    if (object == nullptr) return nullptr;
    mCache[key].reset(object);
    return object;
}

GVObject* GVFactory::MakeDescObject(const str& name) {
    return MakeDescObjectFrom(name, nullptr, nullptr);
}

GVObject* GVFactory::MakeDescObjectFrom(const str& name, TXmlNode* node, GVBase* context) {
    if (mMode != kModeDirect) return LoadObjectDesc(name, node, context);
    GVObjectCreator* creator = GetCreator(name);
    if (creator == nullptr) return nullptr;
    GVObject* owner = ObjectOf(context, false);
    return CreateGuarded(creator, MakeKey(name, owner), node, owner);
}

GVObject* GVFactory::Instantiate(GVObject* object, GVScene* scene, GVObject* parent,
                                 bool startStates) {
    if (object == nullptr) return nullptr;
    GVObjectCreator* creator = GetCreator(object->GetName());
    if (creator == nullptr) return nullptr;
    GVObject* live = mMode == kModeDirect ? object : creator->Clone(object);
    if (live == nullptr) return nullptr;
    if (!creator->Activate(live, scene, parent, startStates)) {
        delete live;
        return nullptr;
    }
    return live;
}

bool GVFactory::ReleaseObjectDesc(const str& key) {
    auto found = mCache.find(key);
    if (found == mCache.end()) return false;
    std::shared_ptr<GVObject> released = std::move(found->second);
    mCache.erase(found);
    return true;
}

GVObject* GVFactory::CreateObject(const str& name, bool useCache) {
    return Create(nullptr, name, useCache, nullptr);
}

GVObject* GVFactory::GetObjectDesc(const str& name) {
    if (name.Length() == 0) return nullptr;
    auto cached = mCache.find(MakeKey(name, nullptr));
    if (cached != mCache.end()) return cached->second.get();
    return LoadObjectDesc(name, nullptr, nullptr);
}
