#include "ui/windowlibrary.h"

std::string_view GetWindowLibrary() {
    return {};
}
