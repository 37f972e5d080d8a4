// Internal: the table of cursor and icon handles. Standard cursors have no image; cursors made
// from pixels (the display code's CreateIconIndirect) keep theirs, for the backend to show.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "port/win32types.h"

namespace port {

struct CursorImage {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> argb;  // width x height pixels 0xAARRGGBB, rows top first
};

HCURSOR AddCursorImage(CursorImage image);
// Null for a standard cursor or a handle that is not a cursor.
std::shared_ptr<const CursorImage> LookupCursorImage(HCURSOR cursor);
bool IsCursorHandle(HCURSOR cursor);
// The cursor that shows now (null: none) and whether the cursor shows at all.
HCURSOR ShownCursor(bool* shown);
void ResetCursors();

}  // namespace port
