// The results of the DirectSound stand-in. The program logs failures in hexadecimal and reacts to
// none by value but success: every failure has a value of our own in the 0x8878xxxx range,
// distinct from each other and from the values the program fixes (0x8876017C, out of video
// memory, which a sound call answers only when a test injects it).
#pragma once

#include "port/unknown.h"
#include "port/win32types.h"

constexpr HRESULT DS_OK = 0;

// An argument out of range, a size or pointer that does not fit the buffer, flags not modelled.
constexpr HRESULT DSERR_INVALIDPARAM = kDxError(0x88780801u);
// A call the object's state refuses now: a second Lock, Unlock without Lock, notification
// positions while playing, an operation the primary buffer does not have.
constexpr HRESULT DSERR_INVALIDCALL = kDxError(0x88780802u);
// A wave format the buffer cannot hold.
constexpr HRESULT DSERR_BADFORMAT = kDxError(0x88780803u);
// A control the buffer was not made with (SetVolume without DSBCAPS_CTRLVOLUME).
constexpr HRESULT DSERR_CONTROLUNAVAIL = kDxError(0x88780804u);
// SetFormat on the primary buffer below the priority level.
constexpr HRESULT DSERR_PRIOLEVELNEEDED = kDxError(0x88780805u);
// No sound device: a device GUID, no output driver, or a device that refused to open.
constexpr HRESULT DSERR_NODRIVER = kDxError(0x88780806u);
// The device's memory budget would be passed.
constexpr HRESULT DSERR_OUTOFMEMORY = kDxError(0x88780807u);
// The buffer was lost (port/sound/control.h: LoseSoundBuffers) and not restored yet.
constexpr HRESULT DSERR_BUFFERLOST = kDxError(0x88780808u);
// The buffer's device was released.
constexpr HRESULT DSERR_UNINITIALIZED = kDxError(0x88780809u);
