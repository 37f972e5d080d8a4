#include "audio/soundinstance.h"

#include "audio/sound.h"
#include "audio/soundcallback.h"
#include "audio/soundlock.h"
#include "audio/soundstream.h"

void TSoundInstance::Pause(bool pause) {
    TSoundLock lock;
    if (mStream != nullptr) mStream->Pause(pause);
}

void TSoundInstance::SetVolume(float volume) {
    TSoundLock lock;
    if (mStream != nullptr) mStream->SetVolume(volume);
}

void TSoundInstance::Stop() {
    std::shared_ptr<TSoundInstance> self = weak_from_this().lock();
    std::shared_ptr<TSound> sound = GetSound();
    if (self != nullptr && sound != nullptr) sound->StopInstance(self);
}

void TSoundInstance::SetCallBack(TSoundCallBack* callback, const std::shared_ptr<TSound>& next) {
    std::shared_ptr<TSoundInstance> self = weak_from_this().lock();
    std::shared_ptr<TSound> sound = GetSound();
    if (self != nullptr && sound != nullptr) sound->SetCallBack(self, callback, next);
}

TSoundStream* TSoundInstance::GetStream() const {
    TSoundLock lock;
    return mStream;
}

std::shared_ptr<TSound> TSoundInstance::GetSound() const {
    TSoundLock lock;
    return mSound.lock();
}

std::shared_ptr<TSound> TSoundInstance::GetNext() const {
    TSoundLock lock;
    return mNext.lock();
}

void TSoundInstance::SetSound(const std::weak_ptr<TSound>& sound) {
    TSoundLock lock;
    mSound = sound;
}

void TSoundInstance::SetNext(const std::weak_ptr<TSound>& next) {
    TSoundLock lock;
    mNext = next;
}

void TSoundInstance::ChangeCallBack(TSoundCallBack* callback, const std::shared_ptr<TSound>& next) {
    std::shared_ptr<TSoundInstance> self = weak_from_this().lock();
    if (mCallBack != nullptr && mCallBack != callback) mCallBack->Unregister(self);
    if (callback != nullptr) callback->Register(self, next);
    mCallBack = callback;
}

TSoundCallBack* TSoundInstance::TakeCallBack() {
    TSoundCallBack* callback = mCallBack;
    mCallBack = nullptr;
    return callback;
}

void TSoundInstance::ForgetCallBack(const TSoundCallBack* receiver) {
    if (mCallBack == receiver) mCallBack = nullptr;
}
