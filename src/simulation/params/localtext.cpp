#include "simulation/params/localtext.h"

#include "foundation/prefs/stringtable.h"

namespace {

const TStringTable* gTable = nullptr;

}  // namespace

void SetStringTable(const TStringTable* table) {
    gTable = table;
}

const TStringTable* GetStringTable() {
    return gTable;
}

str GetLocalizedText(const str& label) {
    if (gTable == nullptr) return label;
    const str text = gTable->GetString(label);
    return text == str("#####") ? label : text;
}

str FormatParams(const str& text, bool appendIfMissing, const str& param1, const str& param2) {
    str result = text;
    if (result.Find("$PARAM1$") != str::npos) {
        result.Replace("$PARAM1$", param1, str::kAllOccurrences);
        result.Replace("$PARAM2$", param2, str::kAllOccurrences);
    } else if (appendIfMissing) {
        result += str(" ") + param1;
    }
    return result;
}
