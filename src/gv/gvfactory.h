// GVFactory: where visual objects come from. Given a description name such as "level1" it finds
// the XML description (description prefix + name + ".xml", "@"-paths for objects nested inside a
// file), keeps each description that loaded as a template in its cache, makes live objects from
// templates (mode 1) or loads them directly (mode 2), and activates them into the scene the
// caller set. It also loads the texture sets and frame lists of objects. The class of a new
// object is chosen by the text after "?" in its name: a creator of that name ("default" makes a
// GVObject, "text" a GVTextObject).
//
// Descriptions may name each other ("export"): a creation whose key is already being loaded, or
// one nested deeper than kMaxDepth creations, fails (logged) instead of recursing without end.
//
// Ownership: the factory owns its cache of templates and its creators; objects made by Create
// belong to the caller. One factory per process, made on first use; its templates hold textures
// and name keys, so the program releases them (ReleaseAll) before tearing those services down.
// Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "foundation/str.h"

class GVBase;
class GVFrames;
class GVObject;
class GVScene;
class GVTextures;
class TXmlNode;

class GVFactory {
public:
    // Makes, clones and activates objects of one class.
    class GVObjectCreator {
    public:
        virtual ~GVObjectCreator() = default;
        // A new object loaded from the node, or from the description of the key when node is
        // null, with owner as its loading parent; null when that fails.
        virtual GVObject* Create(const str& key, TXmlNode* node, GVBase* owner) = 0;
        // A new object the template copied itself into; null when that fails.
        virtual GVObject* Clone(GVObject* source) = 0;
        // False for null, else GVObject::Activate.
        virtual bool Activate(GVObject* object, GVScene* scene, GVObject* parent,
                              bool startStates) = 0;
        virtual str GetName() const = 0;
        // Reads the file of the key (up to its first "@") into a new document handed back in
        // document, and answers the key's element in it (or null).
        virtual TXmlNode* LoadDescription(const str& key, std::unique_ptr<TXmlNode>& document);
        virtual void FreeDescription(std::unique_ptr<TXmlNode>& document);
    };
    using CreatorClass = std::function<GVObjectCreator*(GVFactory*)>;

    // Modes of a creation.
    enum : int32_t { kModeIdle = 0, kModeCached = 1, kModeDirect = 2 };
    // The deepest nesting of creations.
    static constexpr int32_t kMaxDepth = 256;

    static GVFactory& Instance();

    GVFactory();
    GVFactory(const GVFactory&) = delete;
    GVFactory& operator=(const GVFactory&) = delete;
    virtual ~GVFactory();

    // A new texture set (the factory's folder) loaded from the node for the context; when it
    // loads nothing, the set of the context's parent object (empty without one).
    virtual std::shared_ptr<GVTextures> LoadTextures(TXmlNode* node, GVBase* context);
    // A frame list loaded from the node, or empty: frame lists are never inherited.
    virtual std::shared_ptr<GVFrames> LoadFrames(TXmlNode* node, GVBase* context);
    // A live object: cloned from the cached template (loaded when missing) with useCache, else
    // loaded directly; a creation inside another takes the outer one's mode. Activated into the
    // factory's scene under the context's parent. Null on any failure.
    virtual GVObject* Create(TXmlNode* node, const str& name, bool useCache, GVBase* context);
    // The cached template of the key, loaded (and cached when it loaded) when missing.
    virtual GVObject* LoadObjectDesc(const str& name, TXmlNode* node, GVBase* context);
    virtual GVObject* MakeDescObject(const str& name);
    // Mode 2: a fresh object nobody caches; else LoadObjectDesc.
    virtual GVObject* MakeDescObjectFrom(const str& name, TXmlNode* node, GVBase* context);
    // The object itself (mode 2) or its clone, activated; null (the clone deleted) on failure.
    virtual GVObject* Instantiate(GVObject* object, GVScene* scene, GVObject* parent,
                                  bool startStates);
    // Drops the template of exactly that key; true when there was one.
    virtual bool ReleaseObjectDesc(const str& key);

    GVObject* CreateObject(const str& name, bool useCache);
    // The template of a top-level description, loaded when missing; null for an empty name.
    GVObject* GetObjectDesc(const str& name);
    // The cache key of a name, for an owner object or none.
    str MakeKey(const str& name, GVObject* owner) const;
    // The creator named after the first "?" ("default" without one), or null.
    GVObjectCreator* GetCreator(const str& name);
    // The element of the key's "@"-path below main ("#n" by position, else by exact "id").
    static TXmlNode* FindObjectDescription(const str& key, TXmlNode* main);

    // Releases every template.
    void ReleaseAll();
    bool IsCached(const str& key) const { return mCache.count(key) != 0; }

    void SetScene(GVScene* scene) { mScene = scene; }
    GVScene* GetScene() const { return mScene; }
    void SetTextureFolder(const str& folder) { mTextureFolder = folder; }
    const str& GetTextureFolder() const { return mTextureFolder; }
    void SetDescriptionPrefix(const str& prefix) { mDescriptionPrefix = prefix; }
    const str& GetDescriptionPrefix() const { return mDescriptionPrefix; }
    int32_t GetMode() const { return mMode; }

private:
    // The creator's Create under the guards against self-reference and depth.
    GVObject* CreateGuarded(GVObjectCreator* creator, const str& key, TXmlNode* node,
                            GVObject* owner);
    static std::map<str, CreatorClass>& CreatorClasses();

    GVScene* mScene = nullptr;
    str mTextureFolder;
    str mDescriptionPrefix;
    int32_t mMode = kModeIdle;
    std::map<str, std::shared_ptr<GVObject>> mCache;
    std::map<str, std::unique_ptr<GVObjectCreator>> mCreators;
    // The keys being loaded now, and how many creations are nested.
    std::set<str> mLoading;
    int32_t mDepth = 0;
};
