// The shipped fittings and their loss coefficients, and the files the loader refuses.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "refdata/data_packet.h"
#include "refdata/fittings.h"
#include "temp_folder.h"

namespace zynta::refdata {
namespace {

std::filesystem::path Shipped() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / FittingsFile;
}

TEST(Fittings, TheShippedFileHoldsTheCommonFittingsWithTheirTableValues) {
  const auto fittings = LoadFittings(Shipped());
  ASSERT_EQ(fittings.size(), 14u);
  struct Case {
    const char* name;
    double k;
  };
  const Case cases[] = {
      {"Elbow 90, standard", 0.3},      {"Elbow 90, long radius", 0.2},
      {"Elbow 45, standard", 0.4},      {"Elbow 45, long radius", 0.2},
      {"Tee, flow through run", 0.2},   {"Tee, flow through branch", 1.0},
      {"Gate valve, open", 0.15},       {"Globe valve, open", 10.0},
      {"Ball valve, open", 0.05},       {"Butterfly valve, open", 0.765},
      {"Swing check valve, open", 2.0}, {"Entrance, sharp-edged", 0.5},
      {"Entrance, well-rounded", 0.04}, {"Exit", 1.0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(fittings[i].name, cases[i].name);  // in file order
    EXPECT_EQ(fittings[i].k, cases[i].k) << cases[i].name;
  }
  ASSERT_TRUE(FindFitting(fittings, "globe VALVE, open"));
  EXPECT_EQ(FindFitting(fittings, "globe VALVE, open")->k, 10.0);
  EXPECT_FALSE(FindFitting(fittings, "Globe valve"));
}

TEST(Fittings, RefusesAFileWithoutNamesOrWithABadK) {
  const std::string head =
      "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"Description\" fieldtype=\"string\" "
      "WIDTH=\"40\"/><FIELD attrname=\"K\" fieldtype=\"r8\"/></FIELDS><PARAMS/></METADATA><ROWDATA>";
  const std::string tail = "</ROWDATA></DATAPACKET>";
  const std::string cases[] = {
      head + "<ROW Description=\"Elbow\" K=\"-0.3\"/>" + tail,
      head + "<ROW Description=\"Elbow\"/>" + tail,
      head + "<ROW K=\"0.3\"/>" + tail,
      "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"9\"/>"
      "</FIELDS><PARAMS/></METADATA><ROWDATA/></DATAPACKET>",
  };
  zynta::testing::TempFolder folder("zynta-fittings");
  for (const std::string& text : cases) {
    zynta::testing::PutFile(folder.Path() / FittingsFile, text);
    EXPECT_THROW(LoadFittings(folder.Path() / FittingsFile), DataPacketError) << text;
  }
  EXPECT_THROW(LoadFittings(folder.Path() / "missing.XML"), DataPacketError);
}

}  // namespace
}  // namespace zynta::refdata
