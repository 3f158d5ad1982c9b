// The recording platform behaves as the desktop controls do where the calculator relies on it.
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/recording.h"

namespace zynta::platform {
namespace {

struct Window : testing::Test {
  RecordingPlatform ui;
  RecTextField& a = ui.TextFieldNamed("A");
  RecTextField& b = ui.TextFieldNamed("B");
  RecTextField& c = ui.TextFieldNamed("C");
  std::vector<std::string> log;
  void Track(RecTextField& f) {
    f.OnEnter = [this, &f] { log.push_back("enter " + f.Name()); };
    f.OnExit = [this, &f] { log.push_back("exit " + f.Name()); };
  }
  void SetUp() override {
    Track(a);
    Track(b);
    Track(c);
    ui.window.SetFocus(a);
    log.clear();
  }
};

TEST_F(Window, AMoveExitsTheOldControlThenEntersTheNew) {
  ui.window.SetFocus(b);
  EXPECT_EQ(log, (std::vector<std::string>{"exit A", "enter B"}));
  EXPECT_EQ(ui.window.Focused(), &b);
}

TEST_F(Window, AnExitHandlerThatKeepsTheFocusWins) {
  a.OnExit = [this] { ui.window.SetFocus(a); };  // "Bad value!": back into the field
  ui.window.SetFocus(b);
  EXPECT_EQ(ui.window.Focused(), &a);
}

TEST_F(Window, AnExitHandlerThatSendsTheFocusElsewhereWinsAndExitsOnce) {
  int exits = 0;
  a.OnExit = [&] {
    ++exits;
    ui.window.SetFocus(c);  // an input error focusing another field
  };
  ui.window.SetFocus(b);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(ui.window.Focused(), &c);
}

TEST_F(Window, AnErrorInTheExitHandlerLeavesTheFocusWhereItWas) {
  a.OnExit = [] { throw std::runtime_error("bad"); };
  EXPECT_THROW(ui.window.SetFocus(b), std::runtime_error);
  EXPECT_EQ(ui.window.Focused(), &a);
}

TEST(TextField, ProgramWritesAndUserEdits) {
  RecordingPlatform ui;
  RecTextField& f = ui.TextFieldNamed("F");
  int changes = 0;
  f.OnChange = [&] { ++changes; };
  f.SetText("12");
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(f.Modified());
  f.SetText("12");  // the same text changes nothing
  EXPECT_EQ(changes, 1);
  f.SelectAll();
  f.UserKey('5');
  EXPECT_EQ(f.Text(), "5");
  EXPECT_TRUE(f.Modified());
  f.SetText("7");  // the program's write clears the flag
  EXPECT_FALSE(f.Modified());
  f.SetSelection(0, 0);
  f.UserKey('\b');  // nothing before the caret: no change at all
  EXPECT_FALSE(f.Modified());
  EXPECT_EQ(changes, 3);
  f.OnKeyPress = [](char& key) { key = 0; };
  f.UserKey('9');
  EXPECT_EQ(f.Text(), "7");
}

TEST(TextField, ClipboardCommandsEditTheSelection) {
  RecordingPlatform ui;
  RecTextField& f = ui.TextFieldNamed("F");
  f.SetText("100.00");
  f.SetSelection(0, 3);
  f.CutToClipboard();
  EXPECT_EQ(ui.clipboard.Text(), "100");
  EXPECT_EQ(f.Text(), ".00");
  EXPECT_TRUE(f.Modified());
  f.SelectAll();
  ui.clipboard.SetText("2,5");
  f.PasteFromClipboard();
  EXPECT_EQ(f.Text(), "2,5");
}

}  // namespace
}  // namespace zynta::platform
