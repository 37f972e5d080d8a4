// Internal: what the control plane set for the internet service (port/http/control.h), as the
// calls read it. Any thread.
#pragma once

#include <string>
#include <string_view>

#include "port/http/control.h"

namespace port::http {

bool LoopbackOnly();
std::string ExtraCaFile();
control::HttpTimeouts Timeouts();
void CountNameLookup();

// 127.0.0.1, ::1 (bracketed or not) and localhost (in any case).
bool IsLoopbackHost(std::string_view host);

// Writes a line to the port's log the first time it is asked for the key, until the service is
// reset.
void LogOnce(const char* key, const char* line);

}  // namespace port::http
