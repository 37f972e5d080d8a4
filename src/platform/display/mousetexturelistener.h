// MouseTextureListener: the task that rebuilds the software cursor's image after the display was
// restored. The DirectX context makes it with its first software cursor image and hands it to the
// application's listener list (TPlatform::AddListener), which owns it and runs it once after each
// restore.
//
// The context and the listener may end in either order: the context detaches the listener when it
// goes (the listener then finishes at its next run), and a listener that goes first clears the
// context's pointer to it. Main thread only.
#pragma once

#include "foundation/task/task.h"

class TDXContext;

class MouseTextureListener : public TTask {
public:
    explicit MouseTextureListener(TDXContext* context) : mContext(context) {}
    ~MouseTextureListener() override;

    // Rebuilds the context's cursor image; false (finished) once the context is gone.
    bool Execute() override;

    TDXContext* GetContext() const { return mContext; }
    // The context is going.
    void Detach() { mContext = nullptr; }

private:
    TDXContext* mContext;
};
