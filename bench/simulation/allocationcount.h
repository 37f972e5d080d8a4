// Counts the program's allocations: this benchmark program replaces the global operator new, so
// that a benchmark can show that its loop allocates nothing.
#pragma once

// The number of operator new calls so far.
long AllocationCount();
