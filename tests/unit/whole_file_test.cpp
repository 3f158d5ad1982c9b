// The settings file as one piece: what is read (regular files of a sane size only), how it is
// replaced (whole, keeping its mode), and what a crash in the middle of a save leaves.
#include "settings/whole_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "platform/recording.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"
#include "shell/frm_zynta.h"
#include "temp_folder.h"

namespace zynta::settings {
namespace {

namespace fs = std::filesystem;

fs::path ProgramDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

class WholeFileTest : public ::testing::Test {
 protected:
  fs::path File(const char* name = "zynta.ini") const { return dir_ / name; }
  static void Put(const fs::path& path, std::string_view text) { zynta::testing::PutFile(path, text); }
  static std::string Get(const fs::path& path) { return zynta::testing::FileText(path); }
  static unsigned Mode(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  zynta::testing::TempFolder folder_{"zynta-whole-file"};
  const fs::path& dir_ = folder_.Path();
};

// ---- Reading ----

TEST_F(WholeFileTest, ReadsOnlyRegularFilesAndNeverBlocks) {
  ASSERT_EQ(::mkfifo(File("fifo.ini").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", File("zero.ini"));
  fs::create_symlink(File("fifo.ini"), File("to-fifo.ini"));
  fs::create_directory(File("folder.ini"));
  Put(File("plain.ini"), "[S]\nk=1\n");
  fs::create_symlink(File("plain.ini"), File("to-plain.ini"));
  // A FIFO with no writer would block an ordinary open for ever; the test would hang.
  EXPECT_EQ(ReadWholeFile(File("fifo.ini")), std::nullopt);
  EXPECT_EQ(ReadWholeFile(File("to-fifo.ini")), std::nullopt);
  EXPECT_EQ(ReadWholeFile(File("zero.ini")), std::nullopt);  // would fill the memory
  EXPECT_EQ(ReadWholeFile(File("folder.ini")), std::nullopt);
  EXPECT_EQ(ReadWholeFile(File("absent.ini")), std::nullopt);
  EXPECT_EQ(ReadWholeFile(File("to-plain.ini")), "[S]\nk=1\n");
  EXPECT_EQ(IniFile(File("zero.ini")).ReadString("S", "k", "default"), "default");
}

TEST_F(WholeFileTest, FileOverTheLimitReadsAsEmpty) {
  struct Case {
    std::size_t size;
    bool kept;
  };
  for (const Case c : {Case{MaxSettingsBytes, true}, Case{MaxSettingsBytes + 1, false}}) {
    std::string text = "[S]\nk=1\n";
    text.resize(c.size, ';');
    Put(File(), text);
    EXPECT_EQ(ReadWholeFile(File()), c.kept ? text : std::string()) << c.size << " bytes";
    EXPECT_EQ(IniFile(File()).ReadString("S", "k", "none"), c.kept ? "1" : "none") << c.size << " bytes";
  }
}

// ---- Replacing ----

TEST_F(WholeFileTest, ReplaceKeepsTheModeOfTheOldFile) {
  for (const unsigned mode : {0600u, 0640u, 0644u}) {
    Put(File(), "old");
    fs::permissions(File(), static_cast<fs::perms>(mode));
    ASSERT_TRUE(ReplaceWholeFile(File(), "new"));
    EXPECT_EQ(Get(File()), "new");
    EXPECT_EQ(Mode(File()), mode) << std::oct << mode;
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"zynta.ini"});
}

TEST_F(WholeFileTest, StaleTemporariesOfOurPatternAreRemovedOnceOld) {
  struct Case {
    const char* name;
    bool old;
    bool removed;
  };
  const Case cases[] = {
      {"zynta.ini.0123456789ab.tmp", true, true},
      {"zynta.ini.0123456789ac.tmp", false, false},  // another copy may be writing it now
      {"zynta.ini.0123456789AB.tmp", true, false},   // not a name we make
      {"zynta.ini.short.tmp", true, false},
      {"other.ini.0123456789ab.tmp", true, false},
      {"zynta.ini", true, false},
  };
  for (const Case& c : cases) {
    Put(File(c.name), "x");
    if (c.old) fs::last_write_time(File(c.name), fs::file_time_type::clock::now() - std::chrono::minutes(2));
  }
  RemoveStaleTemporaries(File());
  for (const Case& c : cases) EXPECT_EQ(fs::exists(File(c.name)), !c.removed) << c.name;
}

// ---- The per-user file at the start ----

class SettingsStartTest : public WholeFileTest {
 protected:
  SettingsLocation Where() const { return {dir_ / "settings/", dir_ / "settings/zynta.ini"}; }
  fs::path ProgramFolder() const { return dir_ / "program"; }
  void PutDefault(std::string_view text) {
    fs::create_directories(ProgramFolder());
    Put(ProgramFolder() / DefaultSettingsName, text);
  }
  platform::RecMessageBoxes boxes;
};

TEST_F(SettingsStartTest, EmptyDefaultFileIsCopied) {
  PutDefault("");
  const OpenResult opened = OpenSettings(ProgramFolder(), Where(), boxes, "1.1.0.0");
  ASSERT_TRUE(opened.file);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(opened.file->ReadString("MainForm", "Version", ""), "1.1");
}

TEST_F(SettingsStartTest, VersionResetKeepsThePermissionsAndWritesTheVersionWithTheCopy) {
  PutDefault("[MainForm]\nVersion=1.0\nTop=5\n");
  fs::create_directories(Where().folder);
  Put(Where().path, "[MainForm]\nVersion=0.9\nTop=99\n");
  fs::permissions(Where().path, fs::perms::owner_read | fs::perms::owner_write);
  OpenSettings(ProgramFolder(), Where(), boxes, "1.1.0.0");
  EXPECT_EQ(Get(Where().path), "[MainForm]\nVersion=1.1\nTop=5\n");
  EXPECT_EQ(Mode(Where().path), 0600u);
}

TEST_F(SettingsStartTest, StartRemovesStaleTemporaries) {
  PutDefault("[MainForm]\nVersion=1.1\n");
  fs::create_directories(Where().folder);
  const fs::path stale = Where().folder / "zynta.ini.00000000abcd.tmp";
  Put(stale, "[MainForm]\nVer");
  fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::minutes(5));
  OpenSettings(ProgramFolder(), Where(), boxes, "1.1.0.0");
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(Where().path));
}

// A settings file that is a FIFO, a link to an endless device or far too large starts the
// calculator at once with the defaults, as a damaged file does, and the close saves a sound one.
TEST_F(WholeFileTest, StartsOnDefaultsOverAFileThatIsNoSettingsFile) {
  const std::function<void(const fs::path&)> makers[] = {
      [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
      [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
      [](const fs::path& p) {
        std::string big = "[MainForm]\nVersion=1.1\nTop=1\n";
        big.resize(MaxSettingsBytes + 100, ';');
        Put(p, big);
      },
  };
  for (const auto& make : makers) {
    platform::RecordingPlatform ui;
    ui.folders.appData = dir_.string();
    shell::TfrmZYNTA form(ui, ProgramDir());
    const fs::path path = dir_ / "WXB/ZYNTA/1.1/zynta.ini";
    fs::create_directories(path.parent_path());
    fs::remove(path);
    make(path);
    ASSERT_TRUE(form.FormCreate());
    EXPECT_EQ(form.Settings().path, path);
    EXPECT_TRUE(ui.boxes.shown.empty()) << ui.boxes.shown.front().text;
    form.SaveSettings();
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
    EXPECT_LT(fs::file_size(path), MaxSettingsBytes);
    EXPECT_EQ(IniFile(path).ReadString("MainForm", "Version", ""), "1.1");
  }
}

// ---- A save killed at any moment ----

// The calculator's own save, run in a child process that is killed with SIGKILL at a random
// moment of it, many times over: each time the file must be the old one or the new one, byte
// for byte.
TEST_F(WholeFileTest, SaveKilledAtAnyMomentLeavesTheOldFileOrTheNew) {
  platform::RecordingPlatform ui;
  ui.folders.appData = dir_.string();
  shell::TfrmZYNTA form(ui, ProgramDir());
  ASSERT_TRUE(form.FormCreate());
  const fs::path path = form.Settings().path;
  const std::string oldText = Get(path);
  // Every parameter and the window's place change, so that a save key by key would show.
  for (auto& p : form.ParamTypes) p->ParamValue += 1.5;
  form.Window.MoveTo(form.Window.Top() + 7, form.Window.Left() + 9);

  const auto saveInChild = [&](int ready) {
    const pid_t child = ::fork();
    if (child == 0) {
      const char byte = 1;
      [[maybe_unused]] const ssize_t n = ::write(ready, &byte, 1);
      form.SaveSettings();
      ::_exit(0);
    }
    return child;
  };
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const auto runOnce = [&](std::chrono::microseconds delay, bool kill) {
    const pid_t child = saveInChild(ready[1]);
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(ready[0], &byte, 1);
    std::this_thread::sleep_for(delay);
    if (kill) ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
  };

  const auto start = std::chrono::steady_clock::now();
  runOnce(std::chrono::microseconds(0), false);
  const auto saveTime =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  const std::string newText = Get(path);
  ASSERT_NE(newText, oldText);

  std::mt19937 random(12345);
  std::uniform_int_distribution<long> delays(0, saveTime.count() + 100);
  int olds = 0;
  int news = 0;
  constexpr int kRounds = 150;
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_TRUE(ReplaceWholeFile(path, oldText));
    runOnce(std::chrono::microseconds(delays(random)), true);
    const std::string text = Get(path);
    ASSERT_TRUE(text == oldText || text == newText) << "round " << round << " left a mix:\n" << text;
    (text == oldText ? olds : news) += 1;
  }
  ::close(ready[0]);
  ::close(ready[1]);
  RecordProperty("old", olds);
  RecordProperty("new", news);
  // The kills fell before and after the replacement, not all on one side.
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
  // What the kills left behind goes at the next start once it is old enough.
  RemoveStaleTemporaries(path, 0);
  for (const auto& entry : fs::directory_iterator(path.parent_path()))
    EXPECT_FALSE(entry.path().filename().string().ends_with(".tmp")) << entry.path();
}

}  // namespace
}  // namespace zynta::settings
