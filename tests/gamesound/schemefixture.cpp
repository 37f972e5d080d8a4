#include "schemefixture.h"

#include "audio/soundmanager.h"
#include "foundation/xml/xmlnode.h"

namespace gamesound_testing {
void SchemeTest::SetUp() {
    GameSoundTest::SetUp();
    if (WithSound()) StartSound();
    mSounds = std::make_unique<testing_support::TinySounds>();
    mView.SetBounds(GVRect{0.0f, 0.0f, 2400.0f, 1800.0f});
    mScheme = std::make_unique<GSoundScheme>();
    mScheme->SetEnabled(true);
    mScheme->SetViewPort(&mView);
}

void SchemeTest::TearDown() {
    mScheme.reset();
    mSounds.reset();
    GameSoundTest::TearDown();
}

bool SchemeTest::Load(const std::string& elements) {
    TXmlNode document;
    const std::string text = "<SoundScheme>" + elements + "</SoundScheme>";
    document.ParseString(text.c_str());
    return mScheme->Load(&document, &mNames);
}

SchemeObject* SchemeTest::MakeObject(const char* fullName) {
    return &mObjects.emplace_back(fullName);
}

SchemeObject* SchemeTest::MakeObjectAt(const char* fullName, float x, float y) {
    SchemeObject* object = MakeObject(fullName);
    object->PlaceAt(x, y);
    return object;
}

long SchemeTest::LastVolume() {
    auto buffers = Buffers();
    return buffers.empty() ? 1 : buffers.back().volume;
}

uint32_t SchemeTest::LastBuffer() {
    auto buffers = Buffers();
    return buffers.empty() ? 0 : buffers.back().id;
}

long SchemeTest::VolumeOf(uint32_t buffer) {
    for (const auto& info : Buffers()) {
        if (info.id == buffer) return info.volume;
    }
    return 1;
}

long SchemeTest::Expected(float v) const {
    return DeviceVolume(v * mApp->GetSoundManager()->GetVolume(GSoundScheme::kEffectsGroup));
}

bool SchemeTest::RunUntil(const std::function<bool()>& done, uint32_t ms) {
    for (uint32_t ran = 0; ran < ms && !done(); ran += 50)
        Run(50);
    return done();
}

bool SchemeTest::RunUntilPending(size_t count, uint32_t ms) {
    return RunUntil([&] { return mScheme->GetPending().size() >= count; }, ms);
}

}  // namespace gamesound_testing
