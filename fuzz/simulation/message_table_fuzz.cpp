// The player messages: the input is read as "xml/logic/messages.xml", then every list is asked
// for a text about a creature and a place whose facts come from the input's length, and about
// nobody.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "foundation/xml/xmlnode.h"
#include "simulation/params/globaldata.h"
#include "simulation/params/messagefacts.h"
#include "simulation/params/messagetable.h"
#include "simulation/nameregistry.h"
#include "simulation/object.h"

namespace {

class Data : public GObjectData {};

class Thing : public GObject {
public:
    explicit Thing(int kind) : GObject(kind) { SetData(std::make_unique<Data>()); }
    void OnTaskCancelled(GTaskData*) override {}
    void OnTaskCompleted(GTaskData*) override {}
    void OnTaskProgress(GTaskData*, float) override {}
    void OnVisualEvent(GVWorldObject*, const GNameMask*) override {}
};

class Facts : public GMessageFacts {
public:
    explicit Facts(int seed) : mSeed(seed) {}
    str GetNickName(GObject*) override { return "Koko $NAME$"; }
    int GetLevel(GObject*) override { return mSeed % 5; }
    int GetItem(GObject*) override { return mSeed % 12; }
    float GetAge(GObject*) override { return static_cast<float>(mSeed % 200); }
    bool IsIll(GObject*) override { return (mSeed & 1) != 0; }
    int GetResourceQuantity(GObject*, int type) override { return mSeed * type - 7; }
    int GetMaxQuantity(GObject*, int type) override { return 2147483647 - type; }
    str GetDisplayName(GObject*) override { return "$LOCATION$"; }

private:
    int mSeed;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TXmlNode document;
    document.ParseString(reinterpret_cast<const char*>(data), size);
    if (document.GetChildren().empty()) return 0;
    GNameRegistry names;
    GlobalData params;
    params.SetEvent(static_cast<int>(size % 56), true);
    Facts facts(static_cast<int>(size));
    MessageTable table;
    table.Attach(&params, &names, &facts);
    table.Load(document.GetChildren()[0], names);
    Thing creature(GObject::kCreature), place(GObject::kLocation);
    creature.GetData()->name = "Puff";
    place.GetData()->fullName = "Food bin";
    for (int list = 0; list < MessageTable::kListCount; ++list) {
        const auto which = static_cast<MessageTable::List>(list);
        int icon = 0;
        table.Format(which, &creature, &place, &icon);
        table.Format(which, &place, &creature, &icon);
        table.Format(which, nullptr, nullptr, nullptr);
    }
    return 0;
}
