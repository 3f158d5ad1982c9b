// The program start and its single-instance lock: only a running copy stops it.
#include "startup/program_start.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/recording.h"
#include "temp_folder.h"

namespace zynta::startup {
namespace {

namespace fs = std::filesystem;

fs::path ProgramDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

class ProgramStartTest : public ::testing::Test {
 protected:
  void SetUp() override { ui.folders.appData = folder_.Path().string(); }

  platform::RecordingPlatform ui;
  zynta::testing::TempFolder folder_{"zynta-program-start"};
};

TEST_F(ProgramStartTest, LockThatCannotBeTakenIsReportedAndTheProgramStarts) {
  ui.lock.failWith = "/run/user/1000/ZYNTA.lock: Read-only file system";
  ZyntaProgram program(ui, ProgramDir());
  ASSERT_TRUE(program.Start());
  EXPECT_TRUE(program.Running());
  ASSERT_FALSE(ui.boxes.shown.empty());
  EXPECT_EQ(ui.boxes.shown.front().text,
            "Unable to check for another running copy of ZYNTA: /run/user/1000/ZYNTA.lock: Read-only file "
            "system. ZYNTA starts anyway.");
}

TEST_F(ProgramStartTest, RunningCopyStopsTheStart) {
  ZyntaProgram first(ui, ProgramDir());
  ASSERT_TRUE(first.Start());
  platform::RecordingPlatform other;
  other.folders.appData = folder_.Path().string();
  ZyntaProgram second(other, ProgramDir());
  EXPECT_FALSE(second.Start());
  ASSERT_EQ(other.boxes.shown.size(), 1u);
  EXPECT_EQ(other.boxes.shown.front().caption, "ZYNTA is already running!");
}

// Ending the session (or the process, by a signal) must not wait for an answer: a refused save
// goes to the log. The interactive Exit still shows it in a box.
TEST_F(ProgramStartTest, RefusedSaveAtTheSessionEndIsLoggedNotShown) {
  for (const bool interactive : {false, true}) {
    platform::RecordingPlatform platform;
    platform.folders.appData = folder_.Path().string();
    ZyntaProgram program(platform, ProgramDir());
    ASSERT_TRUE(program.Start());
    const fs::path settings = program.Form().Settings().path;
    fs::remove(settings);
    fs::create_directory(settings);  // every write now fails
    const size_t boxesBefore = platform.boxes.shown.size();
    if (interactive) {
      program.Form().FormClose();
    } else {
      EXPECT_TRUE(program.Form().SessionEndQuery());
    }
    const std::string refused = "Unable to write to " + settings.string() + ".";
    std::vector<std::string> shown;
    for (size_t i = boxesBefore; i < platform.boxes.shown.size(); ++i)
      shown.push_back(platform.boxes.shown[i].text);
    EXPECT_EQ(shown, interactive ? std::vector<std::string>{refused} : std::vector<std::string>{});
    EXPECT_EQ(platform.system.logged,
              interactive ? std::vector<std::string>{} : std::vector<std::string>{refused});
    EXPECT_TRUE(program.Form().SaveFailed());
    EXPECT_FALSE(program.Running());
    fs::remove(settings);
  }
}

}  // namespace
}  // namespace zynta::startup
