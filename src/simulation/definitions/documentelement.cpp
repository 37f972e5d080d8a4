#include "simulation/definitions/documentelement.h"

#include "foundation/str.h"
#include "foundation/xml/xmlnode.h"

namespace {

bool IsMarkup(const str& name) {
    return name == str("?xml") || name == str("!DOCTYPE") || name.Find("!--") == 0;
}

}  // namespace

TXmlNode* DocumentElement(const TXmlNode& document) {
    for (TXmlNode* element : document.GetChildren()) {
        if (!IsMarkup(element->GetName())) return element;
    }
    return nullptr;
}
