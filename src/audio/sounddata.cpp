#include "audio/sounddata.h"

#include "audio/sound.h"
#include "audio/soundcallback.h"
#include "audio/sounddatasource.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "audio/soundstream.h"

TSoundData::~TSoundData() = default;

void TSoundData::OnStreamDone(TSoundStream* stream) {
    stream->SetEndedNotify({});
    std::shared_ptr<TSound> owner;
    if (mOwner != nullptr) owner = AssetCast<TSound>(mOwner);
    // The manager's teardown ends every stream: nobody hears of those.
    const bool deliver = !stream->GetManager()->IsClosing();
    std::shared_ptr<TSoundInstance> instance = stream->GetInstance();
    if (instance == nullptr) return;
    std::shared_ptr<TSound> next = instance->GetNext();
    instance->SetNext({});
    // Told once, and only while still registered: the receiver forgets the instance first.
    if (TSoundCallBack* callback = instance->TakeCallBack()) {
        if (callback->Unregister(instance) && deliver) callback->OnSoundDone(instance, next);
    }
    if (next == nullptr) mPlaying.erase(instance);
}
