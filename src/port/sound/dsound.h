// DirectSound as the program calls it: the sound device, its primary buffer (the output's
// format), secondary buffers that the program fills and plays, and position notifications.
//
// What it models: one output of 44,100 Hz, 16-bit signed, stereo, which a mixer fills from every
// playing secondary buffer of every device; buffers of 16-bit PCM, mono or stereo, at 100 to
// 200,000 samples per second, played once or looping, with a volume in hundredths of a decibel
// (-10000 to 0); play and write cursors; locks that hand out a staging copy; notifications that
// set events as the play cursor passes their offsets and when a buffer stops; lost buffers (only
// when a test loses them). What it leaves out: pan, frequency changes, SetCurrentPosition,
// GetVolume, GetFormat, 3-D sound, 8-bit and multichannel data, capture devices, and every
// operation the program never calls. The structures carry only the fields the program fills;
// their sizes are ours (dwSize is our sizeof).
//
// The device's backend (port/sound/backend.h) follows the window system's: the null device under
// "headless" (the mixed output goes nowhere, or to a test's capture; it plays as the clock moves)
// and SDL's audio output under "sdl".
//
// Cursors (byte offsets into a secondary buffer):
//   1. The play cursor is the offset of the next frame the mixer reads. It moves by the frames
//      the mixer consumes: rate / 44,100 source frames per output frame, the fraction carried
//      from one output frame to the next, so that it is always frame-aligned.
//   2. While playing, write = play + 10 ms of the buffer's own bytes (rounded up to a whole
//      frame), modulo the size: everything from the write cursor on is safe to write. While
//      stopped, write = play.
//   3. A looping buffer wraps. A buffer played once stops when the play cursor reaches its end;
//      it then reads play = write = 0 and is not playing.
//   4. Stop keeps the cursor; a later Play continues from it.
//
// Locks: Lock hands out a staging copy of the regions' current bytes, never the memory the mixer
// reads, so the caller may hold it as long as it likes; Unlock copies back the counts it is
// given under the buffer's own short lock. What is committed is heard whole from the next frame
// the mixer reads: never half written. One lock per buffer at a time.
//
// Mixing: each playing buffer is read at its rate (linear interpolation between frames when the
// step is not 1; at the end of a looping buffer the next frame is its first, after the end of a
// buffer played once it is silence), mono feeds both sides, its gain is 10^(volume / 2000) and
// exactly 0 at -10000; the sums are rounded to nearest and saturated. One 44,100 Hz buffer at
// volume 0, alone, comes out bit for bit.
//
// Lifetime: objects are reference counted; every call that hands out an interface adds a
// reference for the caller. A buffer lives until its last Release, also while it is mixed (the
// mixer holds a reference for the block it mixes). The device's last Release stops its output
// (the output goes on while another device lives) and detaches its buffers: every call on a
// detached buffer answers DSERR_UNINITIALIZED, and its memory goes at its own last Release.
// QueryInterface gives only the notify interface of a buffer made for it; every other question
// (IID_IUnknown included, and every question to the device or the primary) answers
// E_NOINTERFACE.
//
// Threads: every call may be made from any thread. The mixer runs on a thread of its own (the
// null device's pump, or SDL's audio callback) and takes no lock of the program's; it never
// waits for a Lock or an Unlock, only for the copy Unlock makes. Lock order: the program's locks,
// then the device list of the output, then a device's buffer list, then one buffer, then an
// event's own lock.
#pragma once

#include "port/sound/dsresult.h"
#include "port/system/guid.h"
#include "port/unknown.h"
#include "port/win32types.h"

// The position-notify interface of a buffer made with DSBCAPS_CTRLPOSITIONNOTIFY:
// b0210783-89cd-11d0-af08-00a0c925cd16, the value the program asks with.
extern const IID IID_IDirectSoundNotify;

// Cooperative levels (IDirectSound::SetCooperativeLevel).
constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

// Buffer capabilities (DSBUFFERDESC::dwFlags). A primary buffer has DSBCAPS_PRIMARYBUFFER alone;
// a secondary buffer any of the other four.
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
// Accepted and without effect: the one output plays whichever window has the focus.
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
// Accepted and without effect: the cursors always follow the rules above.
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

// Play flags.
constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

// Buffer status (GetStatus). A lost buffer reports DSBSTATUS_BUFFERLOST alone.
constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;

// Volume in hundredths of a decibel.
constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;

// The notification offset that stands for "the buffer stopped".
constexpr DWORD DSBPN_OFFSETSTOP = 0xFFFFFFFFu;

constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;  // extra bytes after the structure: none are read
};

struct DSBUFFERDESC {
    DWORD dwSize;  // sizeof(DSBUFFERDESC)
    DWORD dwFlags;
    DWORD dwBufferBytes;  // 0 for the primary buffer
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;  // null for the primary buffer
};

struct DSBPOSITIONNOTIFY {
    DWORD dwOffset;  // a byte offset below the buffer's size, or DSBPN_OFFSETSTOP
    HANDLE hEventNotify;
};

class IDirectSoundBuffer : public IUnknown {
public:
    // Primary buffer only: the output's format, which is fixed (PCM, 44,100 Hz, 16 bits, 2
    // channels, block 4, 176,400 bytes per second; anything else DSERR_BADFORMAT). Needs the
    // priority level or above (else DSERR_PRIOLEVELNEEDED).
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // From the play cursor: flags 0 plays to the end once, DSBPLAY_LOOPING loops. reserved and
    // priority are 0.
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    // Stops and keeps the cursor.
    virtual HRESULT Stop() = 0;
    // Either pointer may be null.
    virtual HRESULT GetCurrentPosition(DWORD* play, DWORD* write) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    // A lost buffer plays again; its bytes are kept.
    virtual HRESULT Restore() = 0;
    // -10000 to 0; needs DSBCAPS_CTRLVOLUME (else DSERR_CONTROLUNAVAIL).
    virtual HRESULT SetVolume(LONG volume) = 0;
    // offset below the size, 1 to size bytes, flags 0. The second region is given only when the
    // first reaches the end (offset + bytes > size); otherwise its pointer is null and its size 0.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** data1, DWORD* bytes1, void** data2,
                         DWORD* bytes2, DWORD flags) = 0;
    // The pointers Lock gave, with counts up to the locked sizes: copies those bytes in.
    virtual HRESULT Unlock(void* data1, DWORD bytes1, void* data2, DWORD bytes2) = 0;
};

class IDirectSoundNotify : public IUnknown {
public:
    // Replaces the buffer's notification positions (count 0 removes them). Only while the buffer
    // is stopped (else DSERR_INVALIDCALL); each offset below the size or DSBPN_OFFSETSTOP, each
    // with an event handle; at most 1024 positions.
    virtual HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) = 0;
};

class IDirectSound : public IUnknown {
public:
    // window: one of the window system's windows. The level is kept; the primary buffer's
    // SetFormat asks for DSSCL_PRIORITY or above.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    // The primary buffer (one per device: asking again gives the same) or a new secondary buffer
    // holding quiet noise. outer must be null.
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                                      IUnknown* outer) = 0;
};

// device null is the default device (any GUID answers DSERR_NODRIVER); outer must be null.
// DSERR_NODRIVER, with one line in the port log, when the backend has no output.
HRESULT DirectSoundCreate(const GUID* device, IDirectSound** sound, IUnknown* outer);
