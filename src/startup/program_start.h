#pragma once
// The program's start: one copy only, the calculator window created, the splash for two
// seconds (with the intro on the first runs), then the window shown unless Start Hidden.

#include <filesystem>
#include <memory>

#include "platform/platform.h"
#include "shell/frm_zynta.h"
#include "startup/about_box.h"

namespace zynta::startup {

inline constexpr const char* InstanceName = "ZYNTA";
inline constexpr int SplashMilliseconds = 2000;

// The intro's text, line by line.
const std::vector<std::string>& IntroLines();

class ZyntaProgram {
 public:
  ZyntaProgram(platform::Platform& ui, std::filesystem::path programDir);

  // Runs the start sequence up to the message loop; false when the program ended at once
  // (another copy runs, or the window could not be created).
  bool Start();

  shell::TfrmZYNTA& Form() const { return *form_; }
  bool HasForm() const { return form_ != nullptr; }
  bool Running() const { return form_ && !form_->Terminated(); }

 private:
  void CreateSplash();
  void ShowIntro(int x, int y);
  void Button3Click();
  void ShowAbout();

  platform::Platform& ui_;
  std::filesystem::path programDir_;
  std::unique_ptr<shell::TfrmZYNTA> form_;
  std::unique_ptr<TfrmAboutBox> aboutBox_;
};

}  // namespace zynta::startup
