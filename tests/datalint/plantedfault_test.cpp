// The lint against planted faults: each case changes one thing in a copy of the shipped data and
// expects the finding of its check, with the file and the element.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "datafolder.h"
#include "datalint.h"
#include "support/tempdir.h"

namespace {

using datalint_testing::CopiedData;

struct PlantedFault {
    const char* name;
    const char* file;  // below assets/
    const char* from;  // replaced once; must be in the file
    const char* to;
    const char* check;
    const char* element;  // part of the finding's element
};

const PlantedFault kFaults[] = {
    {"CreatureWithoutEvolution", "xml/logic/lion_guru.xml",
     "  <Evolution>\n    <Evolve Action=\"devolve\" Next=\"GuruPuff\" Time=\"30\"/>\n"
     "  </Evolution>\n",
     "", "1", "Creature"},
    {"EvolveToNothing", "xml/logic/puff_basic.xml", "Next=\"BasicGiraffe\"",
     "Next=\"BasicGiraffa\"", "6", "Evolve forage"},
    {"EvolveTimeZero", "xml/logic/giraffe_basic.xml", "Next=\"SkilledGiraffe\" Time=\"900\"",
     "Next=\"SkilledGiraffe\" Time=\"0\"", "dropped", "Evolution"},
    {"FlakeoutDurationZero", "xml/logic/zebra_basic.xml",
     "Action=\"flakeout\" Weight=\"12\" Duration=\"15\"",
     "Action=\"flakeout\" Weight=\"12\" Duration=\"0\"", "duration", "Task flakeout"},
    {"DurationBeyond16Bits", "xml/logic/elephant_basic.xml",
     "Action=\"waitforark\" Weight=\"0\" Duration=\"120\"",
     "Action=\"waitforark\" Weight=\"0\" Duration=\"40000\"", "duration", "Task waitforark"},
    {"ProductionBeyond16Bits", "xml/logic/hyena.xml", "Production=\"30\" Duration=\"12\"",
     "Production=\"70000\" Duration=\"12\"", "range16", "Task forage"},
    {"SpeedBeyondSavedRange", "xml/logic/lion_basic.xml", "Speed=\"2\"", "Speed=\"3e8\"", "float32",
     "Animator lion_l1"},
    {"DuplicateFullName", "xml/logic/gorilla_skilled.xml", "FullName=\"SkilledGorilla\"",
     "FullName=\"BasicGorilla\"", "2", "Creature"},
    {"TransformToNowhere", "xml/logic/idol_zebra_3.xml", "AfterBuildTransform=\"Idol Zebra 4\"",
     "AfterBuildTransform=\"Idol Zebra 5\"", "13", "AfterBuildTransform"},
    {"LastIdolWithWork", "xml/logic/idol_lion_4.xml", "  <Bonus",
     "  <Resources>\n    <Build Quantity=\"10\" MaxQuantity=\"10\" AfterBuildQuantity=\"0\" "
     "Action=\"build\" ItemRequired=\"Hammer\" SaveItemRequired=\"1\"/>\n  </Resources>\n  <Bonus",
     "13", "Resources"},
    {"EventBeyondTheIds", "xml/logic/well_1.xml", "EventRequired=\"5\"", "EventRequired=\"56\"",
     "15", "record #1"},
    {"SecondLevelEventZero", "xml/logic/main.xml", "Level2Event=\"1\"", "Level2Event=\"0\"", "20",
     "Level2Event"},
    {"DeathAgesCrossed", "xml/logic/main.xml", "DeathAgeMin=\"70\"", "DeathAgeMin=\"90\"", "19",
     "Health"},
    {"LocationInTheRestArea", "xml/logic/main.xml", "Name=\"Beach\" PosX=\"560\" PosY=\"1740\"",
     "Name=\"Beach\" PosX=\"560\" PosY=\"1500\"", "22", "Location Beach"},
    {"HidingPlaceOnALocation", "xml/logic/main.xml", "<P x=\"10\" y=\"15\"/>",
     "<P x=\"50\" y=\"15\"/>", "23", "MiniGamePoints P 50,15"},
    {"HidingPlaceInTheSea", "xml/logic/main.xml", "<P x=\"10\" y=\"15\"/>", "<P x=\"5\" y=\"85\"/>",
     "23", "MiniGamePoints P 5,85 on the walk grid"},
    {"PlaceOnTheMountain", "xml/logic/main.xml", "Name=\"Totem\" PosX=\"2300\" PosY=\"1130\"",
     "Name=\"Totem\" PosX=\"400\" PosY=\"100\"", "22", "Location Totem"},
    {"CommentInHints", "xml/logic/main.xml", "<Hints>", "<Hints>\n    <!-- the first hints -->",
     "markup", "Hints"},
    {"SingleQuoteInText", "strings.xml", ">Lazing about<", ">Lazin' about<", "25", "Row flakeout"},
    {"StrayPercent", "strings.xml", ">Off to eat<", ">Off to eat 100%<", "25", "Row go_for_food"},
    {"LabelInTwoRows", "strings.xml", "  </Table>",
     "   <Row><Cell><Data>rest</Data></Cell><Cell><Data>Napping</Data></Cell></Row>\n  </Table>",
     "rows", "Row rest"},
    {"MissingHintLabel", "strings.xml",
     "<Row><Cell><Data>hint_wood</Data></Cell><Cell><Data>Only gorillas chop wood, and the later "
     "parts of the ark need wiser gorillas.</Data></Cell></Row>",
     "", "24", "Row hint_wood"},
    {"LowerCaseCreatureState", "xml/logic/messages.xml", "StateRequired=\"Sick\"",
     "StateRequired=\"sick\"", "26", "Message Hover 131"},
    {"NicknameEqualToALabel", "xml/logic/names.xml", "Value=\"Abbet\"", "Value=\"waiting\"", "25",
     "Name waiting"},
    {"CapitalInTheInstallKey", "install.txt", "umbrava", "Umbrava", "install", "-"},
};

class PlantedFaultTest : public CopiedData, public ::testing::WithParamInterface<PlantedFault> {};

TEST_P(PlantedFaultTest, IsReportedByItsCheck) {
    const PlantedFault& fault = GetParam();
    const std::string path = PathOf(fault.file);
    std::string text = testing_support::ReadFileBytes(path);
    const size_t at = text.find(fault.from);
    ASSERT_NE(at, std::string::npos) << "the shipped " << fault.file << " has changed";
    text.replace(at, std::strlen(fault.from), fault.to);
    ASSERT_TRUE(testing_support::WriteFileBytes(path, text));
    Index();

    const std::vector<datalint::Finding> findings = datalint::Run();
    const bool found =
        std::any_of(findings.begin(), findings.end(), [&](const datalint::Finding& f) {
            return f.check == fault.check && f.file == fault.file &&
                   f.element.find(fault.element) != std::string::npos;
        });
    EXPECT_TRUE(found) << "expected check " << fault.check << " on " << fault.file << ": "
                       << fault.element << "\nfound:\n"
                       << datalint::Describe(findings);
}

INSTANTIATE_TEST_SUITE_P(DataLint, PlantedFaultTest, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<PlantedFault>& info) {
                             return std::string(info.param.name);
                         });

// The unchanged copy is as clean as the repository's folder: the cases above see only their
// own fault's findings.
TEST_F(CopiedData, UnchangedCopyIsClean) {
    Index();
    const std::vector<datalint::Finding> findings = datalint::Run();
    EXPECT_TRUE(findings.empty()) << datalint::Describe(findings);
}

}  // namespace
