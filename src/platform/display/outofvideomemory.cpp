// TPlatformData::OutOfVideoMemory: video memory ran out. The display switches for good to its
// low-memory video mode, a 16-bit full-screen display: it is marked broken with the notice
// pending, so that the next Restore calls SetDisplay, which shows the "Reconfiguring" box and sets
// that mode up. The choice is written to "common:display.xml" so that every later start begins
// in it. Every DirectX path that sees DDERR_OUTOFVIDEOMEMORY ends here (TPlatform::
// OutOfVideoMemory, LOG_DX_ERROR); a second time in the run nothing more happens.
//
// Main thread only.
#include "foundation/file/file.h"
#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "platform/display/displayrecord.h"
#include "platform/display/displaysettingsfile.h"
#include "platform/platformdata.h"

namespace {

// The whole file: the element "Settings" with "LowMemoryVideo" = "1". A file that cannot be
// opened is not reported; the mode still holds for this run.
void WriteLowMemoryVideoSetting() {
    TXmlNode settings("Settings");
    settings.SetAttribute("LowMemoryVideo", "1");
    str text = settings.ToString();
    TFile file;
    if (!file.Open(kDisplaySettingsFile, kFileWriteText)) return;
    file.Write(text.c_str(), static_cast<int>(text.Length()));
    file.Close();
}

}  // namespace

void TPlatformData::OutOfVideoMemory() {
    if (mRecord->mLowMemoryVideo || mRecord->mDirect3D == nullptr) return;
    LogPrintf("OutOfVideoMemory triggered!");
    mRecord->mLowMemoryVideo = true;
    MarkBroken();
    mRecord->mLowMemoryNoticePending = true;
    WriteLowMemoryVideoSetting();
}
