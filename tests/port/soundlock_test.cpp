// Locks: the staging copy that the mixer never reads, regions across the end, and the argument
// table whose every refusal leaves the buffer as it was.
#include <cstring>
#include <functional>
#include <vector>

#include "soundfixture.h"

namespace {

using sound_testing::BufferPtr;
using sound_testing::Pattern;
using sound_testing::ReadSamples;
using sound_testing::SoundTest;
using sound_testing::WriteSamples;

constexpr DWORD kSize = 4000;  // 1,000 frames of 44,100 Hz stereo

std::vector<int16_t> Constant(size_t count, int16_t value) {
    return std::vector<int16_t>(count, value);
}

uint64_t Committed() {
    return port::control::SoundBuffers().at(0).committed;
}

TEST_F(SoundTest, TheMixerHearsWhatIsCommittedNeverTheStagingCopy) {
    BufferPtr buffer(MakeBuffer(44100, 2, kSize));
    WriteSamples(buffer.get(), 0, Constant(kSize / 2, 100));
    void* data = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, kSize, &data, &bytes, nullptr, nullptr, 0), DS_OK);
    ASSERT_EQ(bytes, kSize);
    // Half written while the buffer plays: nothing of it is heard.
    auto* staging = static_cast<int16_t*>(data);
    std::fill(staging, staging + kSize / 4, int16_t{200});
    port::control::StartSoundCapture(2000);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    port::control::MixSound(1000);
    EXPECT_EQ(port::control::CapturedSound(), Constant(2000, 100));
    // Committed whole, it is heard from the next frame on.
    std::fill(staging, staging + kSize / 2, int16_t{200});
    ASSERT_EQ(buffer->Unlock(data, bytes, nullptr, 0), DS_OK);
    port::control::StartSoundCapture(1000);
    port::control::MixSound(1000);
    EXPECT_EQ(port::control::CapturedSound(), Constant(2000, 200));
    EXPECT_EQ(Committed(), 2u * kSize);
}

TEST_F(SoundTest, ALockAcrossTheEndGivesASecondRegion) {
    BufferPtr buffer(MakeBuffer(44100, 2, kSize));
    std::vector<int16_t> before = Pattern(kSize / 2, 5);
    WriteSamples(buffer.get(), 0, before);
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    ASSERT_EQ(buffer->Lock(kSize - 100, 300, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    EXPECT_EQ(firstBytes, 100u);
    EXPECT_EQ(secondBytes, 200u);
    // The regions hold the buffer's bytes: its last 100, then its first 200.
    EXPECT_EQ(std::memcmp(first, before.data() + (kSize - 100) / 2, 100), 0);
    EXPECT_EQ(std::memcmp(second, before.data(), 200), 0);
    std::memset(first, 0x11, 100);
    std::memset(second, 0x22, 200);
    // Only the counts given are copied in.
    ASSERT_EQ(buffer->Unlock(first, 100, second, 150), DS_OK);
    std::vector<int16_t> after = ReadSamples(buffer.get(), kSize);
    std::vector<int16_t> expected = before;
    std::fill(expected.end() - 50, expected.end(), int16_t{0x1111});
    std::fill(expected.begin(), expected.begin() + 75, int16_t{0x2222});
    EXPECT_EQ(after, expected);

    // A lock that ends exactly at the end has no second region.
    ASSERT_EQ(buffer->Lock(kSize - 100, 100, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    EXPECT_EQ(firstBytes, 100u);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(secondBytes, 0u);
    EXPECT_EQ(buffer->Unlock(first, 0, nullptr, 0), DS_OK);
}

// A lock the table's calls may use: what Lock(1000, 1000) handed out, when the case asks for one.
struct Locked {
    void* first = nullptr;
    DWORD firstBytes = 0;
};

struct LockCase {
    const char* name;
    bool lockFirst;
    std::function<HRESULT(IDirectSoundBuffer*, const Locked&)> call;
    HRESULT expected;
};

HRESULT LockAt(IDirectSoundBuffer* buffer, DWORD offset, DWORD bytes, DWORD flags = 0) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    HRESULT result = buffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, flags);
    EXPECT_EQ(first == nullptr, result != DS_OK);
    return result;
}

const LockCase kLockCases[] = {
    {"an offset at the size", false, [](auto* b, auto&) { return LockAt(b, kSize, 4); },
     DSERR_INVALIDPARAM},
    {"an offset past the size", false, [](auto* b, auto&) { return LockAt(b, 0x7FFFFFFF, 4); },
     DSERR_INVALIDPARAM},
    {"zero bytes", false, [](auto* b, auto&) { return LockAt(b, 0, 0); }, DSERR_INVALIDPARAM},
    {"more bytes than the buffer", false, [](auto* b, auto&) { return LockAt(b, 0, kSize + 4); },
     DSERR_INVALIDPARAM},
    {"flags", false, [](auto* b, auto&) { return LockAt(b, 0, 4, 1); }, DSERR_INVALIDPARAM},
    {"no pointer for the first region", false,
     [](IDirectSoundBuffer* b, auto&) {
         DWORD bytes = 0;
         return b->Lock(0, 4, nullptr, &bytes, nullptr, nullptr, 0);
     },
     DSERR_INVALIDPARAM},
    {"no pointer for a second region it needs", false,
     [](IDirectSoundBuffer* b, auto&) {
         void* first = nullptr;
         DWORD bytes = 0;
         return b->Lock(kSize - 4, 8, &first, &bytes, nullptr, nullptr, 0);
     },
     DSERR_INVALIDPARAM},
    {"Unlock without Lock", false,
     [](IDirectSoundBuffer* b, auto&) {
         int16_t bytes[2] = {};
         return b->Unlock(bytes, 4, nullptr, 0);
     },
     DSERR_INVALIDCALL},
    {"a second Lock", true, [](auto* b, auto&) { return LockAt(b, 0, 4); }, DSERR_INVALIDCALL},
    {"a foreign pointer at Unlock", true,
     [](IDirectSoundBuffer* b, const Locked&) {
         static uint8_t other[1000];
         return b->Unlock(other, 4, nullptr, 0);
     },
     DSERR_INVALIDPARAM},
    {"a pointer inside the lock that is not its start", true,
     [](IDirectSoundBuffer* b, const Locked& held) {
         return b->Unlock(static_cast<uint8_t*>(held.first) + 4, 4, nullptr, 0);
     },
     DSERR_INVALIDPARAM},
    {"a count above the lock", true,
     [](IDirectSoundBuffer* b, const Locked& held) {
         return b->Unlock(held.first, held.firstBytes + 1, nullptr, 0);
     },
     DSERR_INVALIDPARAM},
    {"a second region the lock did not give", true,
     [](IDirectSoundBuffer* b, const Locked& held) {
         return b->Unlock(held.first, 4, static_cast<uint8_t*>(held.first) + held.firstBytes, 4);
     },
     DSERR_INVALIDPARAM},
    {"a count for a null second region", true,
     [](IDirectSoundBuffer* b, const Locked& held) { return b->Unlock(held.first, 4, nullptr, 4); },
     DSERR_INVALIDPARAM},
};

TEST_F(SoundTest, LockRefusalsChangeNothing) {
    for (const LockCase& c : kLockCases) {
        SCOPED_TRACE(c.name);
        BufferPtr buffer(MakeBuffer(44100, 2, kSize));
        std::vector<int16_t> before = Pattern(kSize / 2, 9);
        WriteSamples(buffer.get(), 0, before);
        Locked held;
        if (c.lockFirst) {
            ASSERT_EQ(buffer->Lock(1000, 1000, &held.first, &held.firstBytes, nullptr, nullptr, 0),
                      DS_OK);
            // What a careless caller would commit.
            std::memset(held.first, 0x5A, held.firstBytes);
        }
        uint64_t committed = Committed();
        EXPECT_EQ(c.call(buffer.get(), held), c.expected);
        EXPECT_EQ(Committed(), committed);
        // The lock, if there was one, is still held: its own Unlock ends it, copying nothing.
        if (c.lockFirst) {
            EXPECT_TRUE(port::control::SoundBuffers().at(0).locked);
            EXPECT_EQ(buffer->Unlock(held.first, 0, nullptr, 0), DS_OK);
        }
        EXPECT_EQ(ReadSamples(buffer.get(), kSize), before);
    }
}

}  // namespace
