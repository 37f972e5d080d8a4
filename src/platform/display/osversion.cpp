#include "platform/display/osversion.h"

#include "port/system/process.h"

bool IsXPOrLaterVersion(unsigned long version) {
    unsigned long major = version & 0xFF;
    unsigned long minor = (version >> 8) & 0xFF;
    return (major == 5 && minor >= 1) || major >= 6;
}

bool IsVistaOrLaterVersion(unsigned long version) {
    return (version & 0xFF) >= 6;
}

// Function-local statics are initialised once, thread-safely.
bool IsWindowsXPOrLater() {
    static const bool answer = IsXPOrLaterVersion(GetVersion());
    return answer;
}

bool IsWindowsVistaOrLater() {
    static const bool answer = IsVistaOrLaterVersion(GetVersion());
    return answer;
}
