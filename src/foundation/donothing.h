// An empty function, for places that take a callback or an operation with nothing to do.
#pragma once

inline void DoNothing() {}
