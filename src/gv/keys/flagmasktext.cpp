#include "gv/keys/flagmasktext.h"

#include "gv/keys/namemaskregistry.h"

GNameMask ParseFlagMask(const str& text) {
    if (text.Length() == 0) return GNameMask();
    return GNameMaskRegistry::Instance().Parse(text, true);
}

str FormatFlagMask(GNameMask key) {
    return GNameMaskRegistry::Instance().GetName(key);
}
