#include "port/backend.h"

namespace port {
std::unique_ptr<WindowBackend> MakeSdlBackend() {
    return nullptr;
}
}  // namespace port
