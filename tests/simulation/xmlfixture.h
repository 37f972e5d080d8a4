// Builds the documents of simulation tests from text: the document's first element, owned by
// the fixture.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "foundation/prefs/stringtable.h"
#include "foundation/xml/xmlnode.h"

namespace simtest {

class XmlDoc {
public:
    explicit XmlDoc(const char* text) { mRoot.ParseString(text); }
    // The first element of the document; null when there is none.
    TXmlNode* Top() const {
        return mRoot.GetChildren().empty() ? nullptr : mRoot.GetChildren().front();
    }

private:
    TXmlNode mRoot;
};

// A string table of label/text rows in spreadsheet form.
inline void FillTable(TStringTable& table,
                      std::initializer_list<std::pair<const char*, const char*>> rows) {
    std::string sheet = "<Workbook><Table>";
    for (const auto& [label, text] : rows) {
        sheet += std::string("<Row><Cell><Data>") + label + "</Data></Cell><Cell><Data>" + text +
                 "</Data></Cell></Row>";
    }
    sheet += "</Table></Workbook>";
    table.LoadText(sheet.data(), sheet.size());
}

}  // namespace simtest
