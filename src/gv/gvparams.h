// GVParams: the named values an object carries from the "params" element of its description,
// copied with the object and written back when it is saved. The engine gives them no meaning.
// Values keep the order they first came in; the name index finds them. An attribute name that
// appears twice keeps its first value in the index, as the engine's lists do.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "foundation/str.h"
#include "gv/gvbase.h"

class GVParams : public GVBase {
public:
    // One value: empty, an integer, a float or a text.
    struct Value {
        enum Type : int32_t { kEmpty = 0, kInt = 1, kFloat = 2, kText = 3 };
        int32_t type = kEmpty;
        int32_t intValue = 0;
        float floatValue = 0.0f;
        str text;

        // The value as text: an integer becomes "%d", a float "%f", and the record becomes a
        // text record.
        const str& GetText();
    };

    GVParams() : GVBase(kHitTesterOrParams) {}

    // Every attribute of the "params" element, in document order, becomes a text value named by
    // the attribute. False without an element.
    bool Load(TXmlNode* node, GVBase* owner) override;
    // Every parameter, in name order, as an attribute carrying its text. True.
    bool Save(TXmlNode* node) override;
    // The target's index and values become copies of these (an object copies its parameters
    // so; CopyTo stays the base's, which copies nothing).
    void CopyInto(GVParams& target) const;

    int32_t GetCount() const { return static_cast<int32_t>(mValues.size()); }
    // The value of that name, or null.
    Value* Find(const str& name);
    const std::map<str, int32_t>& GetIndex() const { return mIndex; }

private:
    std::map<str, int32_t> mIndex;
    std::vector<Value> mValues;
};
