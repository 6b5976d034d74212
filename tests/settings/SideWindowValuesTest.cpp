#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "SettingsTestSupport.h"
#include "settings/FileInputValues.h"
#include "settings/GraphTitles.h"

using namespace ocuvis;
using namespace ocuvis::test;

namespace {

class SideWindowValuesTest : public HiveTest {
  protected:
    ScriptedHive scripted{hive};
    OrlenRegistry recorded{scripted, file.messages};
    RecordingFeedback beeper;
};

// Cancel, Clear All and the next run's titles are the dialog tests'. A title that cannot be
// written leaves the others written.
TEST_F(SideWindowValuesTest, TitlesReachTheStoreOnlyByOkEachOnItsOwn) {
    GraphTitles titles(recorded, "Ocuvis", beeper);
    titles.MainTitle = "Peaks";
    titles.CancelBtnClick();
    EXPECT_TRUE(scripted.writes.empty());
    titles.OkBtnClick();
    scripted.failingValues = {"X-Axis Title"};
    titles.OkBtnClick();
    EXPECT_EQ(scripted.writes, (std::vector<std::string>{
                                   "Main Title", "X-Axis Title", "Y-Axis Title", "Z-Axis Title",
                                   "Main Title", "Y-Axis Title", "Z-Axis Title"}));
    EXPECT_EQ(beeper.beeps,
              (std::vector<BeepKind>{BeepKind::Hand, BeepKind::Asterisk, BeepKind::Asterisk}));
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(SideWindowValuesTest, FileInputSetupRoundTripsItsValuesAndKeepsWhatIsUnusable) {
    FileInputValues values(recorded, "Ocuvis");
    FileInputFields fields;
    std::tie(fields.XIndex, fields.YIndex, fields.ZIndex, fields.DotIndex) =
        std::make_tuple(5, -1, 0, 4);
    fields.SubSampleEnabled = true;
    fields.SamplePercent = 12.3f;
    values.WriteSetupValues(fields, SeedSetup{1, 4242}, WindowBounds{0, 0, 300, 500});
    FileInputFields loaded;
    SeedSetup seed;
    WindowBounds dialog{0, 0, 328, 465, Placement::Centred};
    FileInputValues(recorded, "Ocuvis").ReadSetupValues(loaded, seed, dialog);
    EXPECT_EQ(std::tie(loaded.XIndex, loaded.YIndex, loaded.ZIndex, loaded.DotIndex,
                       loaded.SubSampleEnabled, loaded.SamplePercent, seed.SeedType, seed.Seed),
              std::make_tuple(5, -1, 0, 4, true, 12.3f, 1, 4242));
    EXPECT_EQ(dialog, (WindowBounds{0, 0, 300, 500, Placement::Centred}));
    EXPECT_TRUE(shown.empty());

    // Only the low byte is a seed type; a share that is no number would sample nothing.
    recorded.WriteInteger("Ocuvis\\File Format", "SeedType", 258);
    recorded.WriteFloat("Ocuvis\\File Format", "SamplePercent", std::nan(""));
    FileInputValues(recorded, "Ocuvis").ReadSetupValues(loaded, seed, dialog);
    EXPECT_EQ(seed.SeedType, 2);
    EXPECT_EQ(loaded.SamplePercent, 12.3f);
}

}  // namespace
