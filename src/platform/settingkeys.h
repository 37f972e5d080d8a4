// The names of the framework's settings, used by its code instead of literals (scripts read the
// same keys through "GetConfig"). The 27 well-known keys come first, in the framework's order;
// then the keys that start-up and the settings operations write or react to.
#pragma once

namespace settingkey {

inline constexpr const char kCheatMode[] = "cheatmode";
inline constexpr const char kDownloadUrl[] = "downloadurl";
inline constexpr const char kComputerId[] = "computerid";
inline constexpr const char kFirstPeek[] = "firstpeek";
inline constexpr const char kInstallKey[] = "installkey";
inline constexpr const char kBuildTag[] = "buildtag";
inline constexpr const char kGameName[] = "gamename";
inline constexpr const char kPublisher[] = "publisher";
inline constexpr const char kGameVersion[] = "version";
inline constexpr const char kEncryptionKey[] = "encryptionkey";
inline constexpr const char kHiscoreLocalOnly[] = "hiscorelocal";
inline constexpr const char kHiscoreAnonymous[] = "hiscoreanon";
inline constexpr const char kFlashMajorVersion[] = "flashmajorversion";
inline constexpr const char kHitTestChildren[] = "hittestchildren";
inline constexpr const char kAnimatedParticles[] = "animatedparticles";
inline constexpr const char kVsync[] = "vsync";
inline constexpr const char kMonitorFrequency[] = "monitorfrequency";
inline constexpr const char kTextSpriteRender[] = "textspriterender";
inline constexpr const char kUtf8Mode[] = "utf8mode";
inline constexpr const char kAutoMergeMask[] = "automergemask";
inline constexpr const char kOverlayMouse[] = "overlaymouse";
inline constexpr const char kVerboseDebug[] = "verbosedebug";
inline constexpr const char kBvGameHandle[] = "bvgamehandle";
// The next two take the mode or medal number appended ("bvgamemodename1").
inline constexpr const char kBvGameModeName[] = "bvgamemodename";
inline constexpr const char kBvGameMedalName[] = "bvgamemedalname";
inline constexpr const char kFpuPrecision[] = "fpuprecision";
inline constexpr const char kKeepOggUncompressed[] = "keepogguncompressed";

inline constexpr const char* const kWellKnown[] = {
    kCheatMode,
    kDownloadUrl,
    kComputerId,
    kFirstPeek,
    kInstallKey,
    kBuildTag,
    kGameName,
    kPublisher,
    kGameVersion,
    kEncryptionKey,
    kHiscoreLocalOnly,
    kHiscoreAnonymous,
    kFlashMajorVersion,
    kHitTestChildren,
    kAnimatedParticles,
    kVsync,
    kMonitorFrequency,
    kTextSpriteRender,
    kUtf8Mode,
    kAutoMergeMask,
    kOverlayMouse,
    kVerboseDebug,
    kBvGameHandle,
    kBvGameModeName,
    kBvGameMedalName,
    kFpuPrecision,
    kKeepOggUncompressed,
};

// Written by start-up or by the settings operations, or reacted to when set.
inline constexpr const char kCheatCode[] = "cheatcode";
inline constexpr const char kLegacyLineWrap[] = "legacylinewrap";
inline constexpr const char kMemoryMax[] = "memorymax";
inline constexpr const char kTextureMemoryMax[] = "texturememorymax";
inline constexpr const char kViewportScale[] = "viewportscale";
inline constexpr const char kUtf8ModeInit[] = "utf8modeinit";

}  // namespace settingkey
