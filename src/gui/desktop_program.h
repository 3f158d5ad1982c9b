#pragma once
// The desktop program: the Qt platform with the calculator started on it. main() runs the
// event loop afterwards; the tests drive the same object.

#include <filesystem>
#include <memory>

#include "gui/platform_qt.h"
#include "startup/program_start.h"

namespace zynta::gui {

class DesktopProgram {
 public:
  explicit DesktopProgram(const std::filesystem::path& programDir);
  ~DesktopProgram();

  // The start sequence; false when the program ended at once.
  bool Start();
  // The event loop, until the calculator ends.
  int Run();
  // The desktop session or the process is ending: the state is saved, then the loop ends.
  void EndSession();

  bool Running() const { return program_->Running(); }
  QtPlatform& Platform() { return *platform_; }
  startup::ZyntaProgram& Program() { return *program_; }

 private:
  void AfterAction();

  std::unique_ptr<QtPlatform> platform_;
  std::unique_ptr<startup::ZyntaProgram> program_;
  bool running_loop_ = false;
};

// The program folder of the running executable: beside it in a build, <prefix>/share/zynta
// when installed.
std::filesystem::path ExecutableFolder();

}  // namespace zynta::gui
