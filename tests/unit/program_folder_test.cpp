// Where the programs look for their data: beside the binary in a build, <prefix>/share/zynta
// in an installed layout, checked over folders laid out in a temp folder.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "startup/program_folder.h"

namespace zynta::startup {
namespace {

namespace fs = std::filesystem;

struct FolderCase {
  const char* name;
  const char* exe;                 // relative to the temp root
  std::vector<std::string> files;  // created empty; a name ending in '/' is a folder
  const char* expected;            // relative to the temp root
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class ProgramFolderTest : public testing::TestWithParam<FolderCase> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zynta-folder-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  void Lay(const std::string& name) {
    const fs::path p = root_ / name;
    if (name.back() == '/') {
      fs::create_directories(p);
    } else {
      fs::create_directories(p.parent_path());
      std::ofstream(p).put('\n');
    }
  }
  fs::path root_;
};

TEST_P(ProgramFolderTest, FindsTheDefaultSettings) {
  const FolderCase& c = GetParam();
  for (const std::string& f : c.files) Lay(f);
  Lay(std::string(c.exe));
  EXPECT_EQ(ProgramFolder(root_ / c.exe).lexically_normal(), (root_ / c.expected).lexically_normal());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProgramFolderTest,
    testing::Values(
        FolderCase{"BuildBesideTheBinary", "build/bin/zynta", {"build/bin/ZYNTA.ini"}, "build/bin"},
        FolderCase{"Installed", "usr/bin/zynta-cli", {"usr/share/zynta/ZYNTA.ini"}, "usr/share/zynta"},
        // a copy beside the binary wins over an installed one
        FolderCase{
            "BothBesideWins", "usr/bin/zynta", {"usr/bin/ZYNTA.ini", "usr/share/zynta/ZYNTA.ini"}, "usr/bin"},
        // a share/zynta without the settings file is not a program folder
        FolderCase{"InstalledWithoutSettings", "usr/bin/zynta", {"usr/share/zynta/PipeSpec.XML"}, "usr/bin"},
        FolderCase{"SettingsNameIsAFolder",
                   "usr/bin/zynta",
                   {"usr/bin/ZYNTA.ini/", "usr/share/zynta/ZYNTA.ini"},
                   "usr/share/zynta"},
        // only one level up: <prefix>/bin and <prefix>/share
        FolderCase{"ShareTwoLevelsUp", "opt/x/bin/zynta", {"opt/share/zynta/ZYNTA.ini"}, "opt/x/bin"},
        FolderCase{"NowhereIsTheExeFolder", "usr/bin/zynta", {}, "usr/bin"}));

}  // namespace
}  // namespace zynta::startup
