// The plot window's pumps in the settings file: written and read back whole, and a section
// edited by hand read as far as it makes sense.
#include <string>

#include <gtest/gtest.h>

#include "shell/pump_panel.h"
#include "temp_folder.h"

namespace zynta::shell {
namespace {

using zynta::testing::FileText;
using zynta::testing::PutFile;
using zynta::testing::TempFolder;

TEST(PumpPanel, ComesBackFromTheSettingsFile) {
  TempFolder folder("zynta-pumps");
  settings::IniFile ini(folder.Path() / "zynta.ini");
  PumpPanel panel;
  panel.staticHeadFt = -12.5;
  panel.sumK = 3.25;
  panel.arrangement = pumps::Arrangement::Series;
  panel.pumps = {{{0, 150}, {500, 135}, {1000, 90}}, {{0.125, 1e-3}, {2e6, 1e-4}}};
  ini.Update([&](settings::IniDocument& doc) { WritePumpPanel(panel, doc); });
  const PumpPanel back = ReadPumpPanel(settings::IniFile(folder.Path() / "zynta.ini"));
  EXPECT_EQ(back.staticHeadFt, -12.5);
  EXPECT_EQ(back.sumK, 3.25);
  EXPECT_EQ(back.arrangement, pumps::Arrangement::Series);
  ASSERT_EQ(back.pumps.size(), 2u);
  for (size_t i = 0; i < back.pumps.size(); ++i) {
    ASSERT_EQ(back.pumps[i].size(), panel.pumps[i].size());
    for (size_t j = 0; j < back.pumps[i].size(); ++j) {
      EXPECT_EQ(back.pumps[i][j].flow, panel.pumps[i][j].flow);
      EXPECT_EQ(back.pumps[i][j].head, panel.pumps[i][j].head);
    }
  }
  EXPECT_NE(FileText(folder.Path() / "zynta.ini").find("[Pumps]\nStaticHead=-12.5\n"), std::string::npos)
      << FileText(folder.Path() / "zynta.ini");
}

TEST(PumpPanel, ReadsWhatMakesSenseOfASectionEditedByHand) {
  struct Case {
    const char* section;
    double staticHead, sumK;
    pumps::Arrangement arrangement;
    size_t pumps;
  };
  const Case cases[] = {
      {"", 0, 0, pumps::Arrangement::Single, 0},
      {"StaticHead=abc\nSumK=-1\nArrangement=triple\n", 0, 0, pumps::Arrangement::Single, 0},
      {"StaticHead=7\nSumK=2\nArrangement=parallel\nPump1=0:10,5:8\nPump2=0:10;5:8\nPump3=\n", 7, 2,
       pumps::Arrangement::Parallel, 1},
      {"Pump2=0:1,1:0.5\nPump3=x\n", 0, 0, pumps::Arrangement::Single, 1},
      {"Pump1=0:1,1:1,2:1,3:1,4:1,5:1,6:1,7:1,8:1\n", 0, 0, pumps::Arrangement::Single, 0},  // nine points
  };
  TempFolder folder("zynta-pumps");
  for (const Case& c : cases) {
    PutFile(folder.Path() / "zynta.ini", std::string("[Pumps]\n") + c.section);
    const PumpPanel panel = ReadPumpPanel(settings::IniFile(folder.Path() / "zynta.ini"));
    EXPECT_EQ(panel.staticHeadFt, c.staticHead) << c.section;
    EXPECT_EQ(panel.sumK, c.sumK) << c.section;
    EXPECT_EQ(panel.arrangement, c.arrangement) << c.section;
    EXPECT_EQ(panel.pumps.size(), c.pumps) << c.section;
  }
}

}  // namespace
}  // namespace zynta::shell
