// One reference to an object of the DirectX stand-ins (a surface, a sound buffer ...), released
// at the end of the scope.
#pragma once

namespace port_testing {

template <typename T>
class Held {
public:
    Held() = default;
    explicit Held(T* object) : mObject(object) {}
    ~Held() { Reset(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    T* get() const { return mObject; }
    T* operator->() const { return mObject; }
    // For out parameters: drops what it held.
    T** Out() {
        Reset();
        return &mObject;
    }
    void Reset() {
        if (mObject != nullptr) mObject->Release();
        mObject = nullptr;
    }
    T* Take() {
        T* object = mObject;
        mObject = nullptr;
        return object;
    }

private:
    T* mObject = nullptr;
};

}  // namespace port_testing
