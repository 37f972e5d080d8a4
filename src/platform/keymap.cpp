#include "platform/keymap.h"

#include "platform/platformevent.h"
#include "port/window/messages.h"
#include "port/window/vkeys.h"

int32_t FrameworkKeyCode(UINT virtualKey) {
    switch (virtualKey) {
        case VK_UP: return kKeyUp;
        case VK_DOWN: return kKeyDown;
        case VK_LEFT: return kKeyLeft;
        case VK_RIGHT: return kKeyRight;
        case VK_INSERT: return kKeyInsert;
        case VK_PRIOR: return kKeyPageUp;
        case VK_NEXT: return kKeyPageDown;
        case VK_DELETE: return kKeyDelete;
        case VK_MULTIPLY: return '*';
        case VK_ADD: return '+';
        case VK_SEPARATOR: return 10;
        case VK_SUBTRACT: return '-';
        case VK_DECIMAL: return '.';
        case VK_DIVIDE: return '/';
        case 0xBA: return ';';
        case 0xBB: return '+';  // the "=" / "+" key
        case 0xBC: return ',';
        case 0xBD: return '-';
        case 0xBE: return '.';
        case 0xBF: return '/';
        case 0xC0: return '`';
        case 0xDB: return '[';
        case 0xDC: return '\\';
        case 0xDD: return ']';
        case 0xDE: return '\'';
        default: break;
    }
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) {
        return static_cast<int32_t>('0' + (virtualKey - VK_NUMPAD0));
    }
    return static_cast<int32_t>(virtualKey);
}

int32_t FrameworkKeyUpCode(UINT virtualKey) {
    int32_t code = FrameworkKeyCode(virtualKey);
    return code < 0 ? (code & 0xFFFF) : code;
}

int32_t MouseModifiers(WPARAM keyFlags) {
    int32_t modifiers = 0;
    if ((keyFlags & MK_SHIFT) != 0) modifiers |= kMouseShift;
    if ((keyFlags & MK_CONTROL) != 0) modifiers |= kMouseCtrl;
    return modifiers;
}
