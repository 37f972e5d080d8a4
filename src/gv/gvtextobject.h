// GVTextObject: a visual object that shows a prepared text image instead of a frame. It loads,
// saves, copies, composes and joins scenes as any GVObject; made by the "text" creator. Its
// drawing (the text image, its layout and bounds) comes with the scene's drawing.
//
// Main thread only.
#pragma once

#include "gv/gvobject.h"

class GVTextObject : public GVObject {
public:
    GVTextObject() = default;
};
