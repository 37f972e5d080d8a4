// What the smoke program's checks share: the count of failed checks, the one-line report of each
// check, and the search of the messages the window procedure saw.
//
// Everything runs on the main thread.
#pragma once

#include <cstddef>
#include <string>

#include "smokewindow.h"

namespace smoke {

constexpr int kWait = 3000;  // milliseconds any one thing may take to arrive

// Prints "ok" or "FAIL" with what was expected, and counts the failures.
void Expect(bool ok, const std::string& what);
int FailedCount();

// The number of messages seen so far: searches from it find only later ones.
size_t Mark();
// The index of the first message of a kind at or after from (and matching wParam when asked);
// -1 when none.
long Find(size_t from, UINT message, long wParam = -1);
// Pumps until such a message came (at most kWait milliseconds).
bool WaitFor(size_t from, UINT message, long wParam = -1);
const Seen& At(long index);

}  // namespace smoke
