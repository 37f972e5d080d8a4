#include "port/display/backend.h"

namespace port::display {

DisplayBackend& Backend() {
    // Until the SDL screen arrives every window backend shows the display through headless.
    static DisplayBackend* backend = MakeHeadlessDisplayBackend().release();
    return *backend;
}

}  // namespace port::display
