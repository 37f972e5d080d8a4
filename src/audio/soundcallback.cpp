#include "audio/soundcallback.h"

#include "audio/soundinstance.h"

TSoundCallBack::~TSoundCallBack() {
    // Whether or not an instance's sound still exists, it must forget this receiver.
    for (const std::weak_ptr<TSoundInstance>& entry : mInstances) {
        std::shared_ptr<TSoundInstance> instance = entry.lock();
        if (instance != nullptr) instance->ForgetCallBack(this);
    }
}

void TSoundCallBack::Register(const std::shared_ptr<TSoundInstance>& instance,
                              const std::shared_ptr<TSound>&) {
    if (instance != nullptr) mInstances.insert(instance);
}

bool TSoundCallBack::Unregister(const std::shared_ptr<TSoundInstance>& instance) {
    return mInstances.erase(instance) != 0;
}

bool TSoundCallBack::IsRegistered(const std::shared_ptr<TSoundInstance>& instance) const {
    return mInstances.count(instance) != 0;
}
