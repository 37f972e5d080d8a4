// GMessageListener: how the world reports to the play screen: a message line, tutorial steps,
// saving, the tribe window, the end of the game, the ark's camera tour, the pointer's position in
// world coordinates and the hover hint. The play screen implements it and hands it to the world
// with GWorld::SetViews; until then the world talks to a listener that does nothing.
// Main thread only.
#pragma once

#include "foundation/str.h"
#include "math/vec2.h"

class GMessageListener {
public:
    virtual ~GMessageListener() = default;

    // A string-table label or a plain text; the empty text clears the line.
    virtual void ShowMessage(const str& text) = 0;
    virtual void QueueTutorialEvent(int id) = 0;
    virtual void SaveGame() = 0;
    virtual void RefreshTribe() = 0;
    virtual void GameOver() = 0;
    virtual void ShowArkFullScene() = 0;
    virtual TVec2 GetPointerWorldPosition() = 0;
    virtual void ShowHoverHint() = 0;
};
