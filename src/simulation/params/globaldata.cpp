#include "simulation/params/globaldata.h"

#include <cstdint>
#include <utility>

#include "foundation/xml/xmlnode.h"
#include "simulation/params/localtext.h"
#include "simulation/data/savedvalues.h"

namespace {

// The title label of each global event that has one; the text label adds "Text".
const char* const kEventTitles[GlobalData::kEventCount] = {
    nullptr,
    "gleFoodBinBuilt",
    "gleWaterTankBuilt",
    "gleHospitalBuilt",
    "gleTumrotPrescriptionResearched",
    "gleSnowMelted",
    "gleTomahawkProducted",
    "gleShovelProducted",
    "gleWellBuilt",
    "gleIdolsBuilt",
    "gleIrrigationInvented",
    "gleCombinedMedicine",
    "gleFertilizerInvented",
    "gleMetalFound",
    "gleHammerProducted",
    "gleNailProducted",
    "glePiranhas",
    nullptr,
    nullptr,
    "gleKopoxPrescriptionResearched",
    "gleSaltWaterRise1",
    "gleSaltWaterRise2",
    nullptr,
    nullptr,
    nullptr,
    "gleFirstFeverDisease",
    "gleArkPart1",
    "gleArkPart2",
    "gleArkPart3",
    "gleArkPart4",
    "gleArkFull",
    "gleTreasure1FirstMap",
    "gleTreasure2FirstMap",
    "gleTreasure3FirstMap",
    "gleTreasure4FirstMap",
    "gleTreasure1Found",
    "gleTreasure2Found",
    "gleTreasure3Found",
    "gleTreasure4Found",
    "gleIdolsCompletelyBuilt",
    "gleFeverPrescriptionResearched",
    "gleFirstBroken",
    nullptr,
    "gleFirstTumrotDisease",
    "gleFirstKopoxDisease",
    "gleFirstEbolioDisease",
    nullptr,
    nullptr,
    nullptr,
    "gleAllWellsBuilt",
    "gleAllFoodBuilt",
    "gleAllIdolsBuilt",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

constexpr int kPiranhasEvent = 16;
constexpr int kWaterTankEvent = 2;

bool InRange(int index, int count) {
    return index >= 0 && index < count;
}

void SaveFlags(TXmlNode* list, const uint8_t* flags, int count) {
    for (int i = 0; i < count; ++i)
        list->AddChild("Event")->SetAttributeInt("v", flags[i] ? 1 : 0);
}

// Fills the slots in document order, whatever the children are called, up to count.
void LoadFlags(TXmlNode* list, uint8_t* flags, int count) {
    int slot = 0;
    for (TXmlNode* child : list->GetChildren()) {
        if (slot >= count) break;
        flags[slot++] = ReadIntAttribute(child, "v") == 1 ? 1 : 0;
    }
}

}  // namespace

GlobalData::GlobalData() = default;

bool GlobalData::IsEventSet(int id) const {
    return InRange(id, kEventCount) && mEvents[id] != 0;
}

bool GlobalData::IsTutorialEventSet(int id) const {
    return InRange(id, kTutorialEventCount) && mTutorialEvents[id] != 0;
}

void GlobalData::SetTutorialEventFlag(int id, bool value) {
    if (InRange(id, kTutorialEventCount)) mTutorialEvents[id] = value ? 1 : 0;
}

int GlobalData::GetSeenProgressEvent(int index) const {
    return InRange(index, kSeenProgressEventCount) ? mSeenProgressEvents[index] : 0;
}

void GlobalData::SetSeenProgressEvent(int index, int value) {
    if (InRange(index, kSeenProgressEventCount)) mSeenProgressEvents[index] = value;
}

str GlobalData::GetEventTitleLabel(int id) {
    if (!InRange(id, kEventCount) || kEventTitles[id] == nullptr) return str();
    return str(kEventTitles[id]);
}

str GlobalData::GetEventTextLabel(int id) {
    const str title = GetEventTitleLabel(id);
    return title.Length() != 0 ? title + str("Text") : str();
}

GEventRecord GlobalData::RecordOf(int id) const {
    GEventRecord record;
    record.eventId = id;
    record.name = GetLocalizedText(GetEventTitleLabel(id));
    record.text = GetLocalizedText(GetEventTextLabel(id));
    return record;
}

GEventRecord GlobalData::SetEvent(int id, bool value) {
    if (!InRange(id, kEventCount)) return GEventRecord();
    const uint8_t flag = value ? 1 : 0;
    if (mEvents[id] == flag) return GEventRecord();
    GEventRecord record = RecordOf(id);
    mEvents[id] = flag;
    return record;
}

GEventRecord GlobalData::GetEventRecord(int id) const {
    return IsEventSet(id) ? RecordOf(id) : GEventRecord();
}

int GlobalData::GetTotalHoursPlayed() const {
    return bFreezeTimeShownInStats ? totalHoursPlayedFrozen : totalHoursPlayed;
}

int GlobalData::GetRealHoursPlayed() const {
    return bFreezeTimeShownInStats ? realHoursPlayedFrozen : realHoursPlayed;
}

void GlobalData::SetNames(std::vector<str> names) {
    mNames = std::move(names);
    mShuffleIndex = -1;
}

str GlobalData::PickRandomName() {
    if (mNames.empty()) return str();
    if (mShuffleIndex < 0 || mShuffleIndex >= static_cast<int>(mNames.size())) {
        mShuffleIndex = static_cast<int>(mNames.size()) - 1;
    }
    const int i = mRandom.NextRange(0, mShuffleIndex);
    const str picked = mNames[i];
    mNames[i] = mNames[mShuffleIndex];
    mNames[mShuffleIndex] = picked;
    --mShuffleIndex;
    return picked;
}

GGridPoint GlobalData::GetArkPartPoint(int part, int index) const {
    const std::vector<GGridPoint>& points = arkParts[InRange(part, kArkPartCount) ? part : 0];
    if (points.empty()) return GGridPoint();
    const int64_t count = static_cast<int64_t>(points.size());
    int64_t at = static_cast<int64_t>(index) % count;
    if (at < 0) at += count;
    return points[static_cast<size_t>(at)];
}

int GlobalData::GetCurrentLevel() const {
    for (int i = kLevelCount - 1; i >= 0; --i) {
        if (levelEvents[i] == 0 || IsEventSet(levelEvents[i])) return i;
    }
    return 0;
}

int GlobalData::CheckPiranhas() {
    if (!IsEventSet(kWaterTankEvent) || IsEventSet(kPiranhasEvent)) return 0;
    mEvents[kPiranhasEvent] = 1;
    return kPiranhasEvent;
}

GPointOfInterest GlobalData::GetPointOfInterest(const str& name) const {
    const auto found = pointsOfInterest.find(name);
    return found != pointsOfInterest.end() ? found->second : GPointOfInterest();
}

float GlobalData::RandomHungerAddCoef() {
    return DrawHundredths(mRandom, hungerAddCoefMin, hungerAddCoefMax);
}

float GlobalData::DrawHundredths(TRandom& random, float min, float max) {
    const int64_t lo = SavedFloatToInt(min);
    const int64_t hi = SavedFloatToInt(max);
    // The draw of TRandom::NextRange (0, hi - lo), taken in 64 bits: the span of two saturated
    // bounds does not fit in 32.
    const double span = static_cast<double>(hi - lo) + 1.0;
    const int64_t drawn = static_cast<int64_t>(random.NextDouble() * span);
    return static_cast<float>(static_cast<double>(lo + drawn) / kSavedFloatFactor);
}

void GlobalData::ResetRunTime() {
    for (uint8_t& flag : mEvents)
        flag = 0;
    for (uint8_t& flag : mTutorialEvents)
        flag = 0;
    for (int& value : mSeenProgressEvents)
        value = 0;
    previousTreasureMapOpenPartsNum = 0;
    stillShowTreasureMapButtonBlinking = false;
    maxAchievementsNum = 0;
    achievementsNum = 0;
    statMaxPopulation = 0;
    totalHoursPlayed = 0;
    realHoursPlayed = 0;
    totalHoursPlayedFrozen = 0;
    realHoursPlayedFrozen = 0;
    tribeMembersCreated = 0;
    giraffesNum = 0;
    elephantsNum = 0;
    zebrasNum = 0;
    lionsNum = 0;
    gorillasNum = 0;
    devolutionsNum = 0;
}

void GlobalData::Save(TXmlNode* node) const {
    SaveFlags(node->AddChild("GlobalEvents"), mEvents, kEventCount);
    TXmlNode* tutorial = node->AddChild("TutorialEvents");
    tutorial->SetAttributeInt("CurrentTutorialEvent", currentTutorialEvent);
    SaveFlags(tutorial, mTutorialEvents, kTutorialEventCount);
    node->SetAttributeInt("MaxAchievementsNum", maxAchievementsNum);
    node->SetAttributeInt("AchievementsNum", achievementsNum);
    node->SetAttributeInt("StatMaxPopulation", statMaxPopulation);
    node->SetAttributeInt("TotalHoursPlayed", totalHoursPlayed);
    node->SetAttributeInt("RealHoursPlayed", realHoursPlayed);
    node->SetAttributeInt("TotalHoursPlayedFrozen", totalHoursPlayedFrozen);
    node->SetAttributeInt("RealHoursPlayedFrozen", realHoursPlayedFrozen);
    node->SetAttributeInt("bFreezeTimeShownInStats", bFreezeTimeShownInStats ? 1 : 0);
    node->SetAttributeInt("TribeMembersCreated", tribeMembersCreated);
    node->SetAttributeInt("GiraffesNum", giraffesNum);
    node->SetAttributeInt("ElephantsNum", elephantsNum);
    node->SetAttributeInt("ZebrasNum", zebrasNum);
    node->SetAttributeInt("LionsNum", lionsNum);
    node->SetAttributeInt("GorillasNum", gorillasNum);
    node->SetAttributeInt("DevolutionsNum", devolutionsNum);
    TXmlNode* seen = node->AddChild("SeenProgressEvents");
    for (int value : mSeenProgressEvents)
        seen->AddChild("Event")->SetAttributeInt("v", value);
    node->SetAttributeInt("PreviousTreasureMapOpenPartsNum", previousTreasureMapOpenPartsNum);
    node->SetAttributeInt("StillShowTreasureMapButtonBlinking",
                          stillShowTreasureMapButtonBlinking ? 1 : 0);
    node->AddChild("iSpeedCoef")->SetAttributeInt("iSpeedCoef", TruncateToInt(speedCoef));
}

void GlobalData::Load(TXmlNode* node) {
    if (TXmlNode* events = node->FindChild("GlobalEvents")) {
        LoadFlags(events, mEvents, kEventCount);
    }
    if (TXmlNode* tutorial = node->FindChild("TutorialEvents")) {
        currentTutorialEvent = ReadIntAttribute(tutorial, "CurrentTutorialEvent");
        LoadFlags(tutorial, mTutorialEvents, kTutorialEventCount);
    }
    maxAchievementsNum = ReadShortAttribute(node, "MaxAchievementsNum");
    achievementsNum = ReadShortAttribute(node, "AchievementsNum");
    statMaxPopulation = ReadShortAttribute(node, "StatMaxPopulation");
    totalHoursPlayed = ReadIntAttribute(node, "TotalHoursPlayed");
    realHoursPlayed = ReadIntAttribute(node, "RealHoursPlayed");
    totalHoursPlayedFrozen = ReadIntAttribute(node, "TotalHoursPlayedFrozen");
    realHoursPlayedFrozen = ReadIntAttribute(node, "RealHoursPlayedFrozen");
    bFreezeTimeShownInStats = ReadIntAttribute(node, "bFreezeTimeShownInStats") == 1;
    tribeMembersCreated = ReadShortAttribute(node, "TribeMembersCreated");
    giraffesNum = ReadShortAttribute(node, "GiraffesNum");
    elephantsNum = ReadShortAttribute(node, "ElephantsNum");
    zebrasNum = ReadShortAttribute(node, "ZebrasNum");
    lionsNum = ReadShortAttribute(node, "LionsNum");
    gorillasNum = ReadShortAttribute(node, "GorillasNum");
    devolutionsNum = ReadShortAttribute(node, "DevolutionsNum");
    if (TXmlNode* seen = node->FindChild("SeenProgressEvents")) {
        int slot = 0;
        for (TXmlNode* child : seen->GetChildren()) {
            if (slot >= kSeenProgressEventCount) break;
            mSeenProgressEvents[slot++] = ReadIntAttribute(child, "v");
        }
    }
    previousTreasureMapOpenPartsNum = ReadShortAttribute(node, "PreviousTreasureMapOpenPartsNum");
    stillShowTreasureMapButtonBlinking =
        ReadIntAttribute(node, "StillShowTreasureMapButtonBlinking") == 1;
    TXmlNode* speed = node->FindChild("iSpeedCoef");
    speedCoef = speed != nullptr ? static_cast<float>(ReadIntAttribute(speed, "iSpeedCoef")) : 1.0f;
}
