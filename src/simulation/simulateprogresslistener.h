// GSimulateProgressListener: the loading window's progress interface. The catch-up does not call
// it; it keeps its progress in the world, which the loading window reads.
#pragma once

class GSimulateProgressListener {
public:
    virtual ~GSimulateProgressListener() = default;

    virtual void OnSimulateProgress(float value) = 0;
};
