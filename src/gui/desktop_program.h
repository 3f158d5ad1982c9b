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
  // The desktop session or the process is ending: the state is saved, then the loop ends. A
  // failed save goes to standard error and the system log, never to a box nobody may answer;
  // the exit status is then 1 (returned here, and by Run).
  int EndSession();
  // A termination signal: EndSession, and the process ends within two seconds whatever happens.
  // Inside a nested loop (a dialog, a wait of an action) it ends at once after the save: the
  // action around it must not go on over the released state.
  void Terminate();

  bool Running() const { return program_->Running(); }
  QtPlatform& Platform() { return *platform_; }
  startup::ZyntaProgram& Program() { return *program_; }

 private:
  void AfterAction();

  std::unique_ptr<QtPlatform> platform_;
  std::unique_ptr<startup::ZyntaProgram> program_;
  bool running_loop_ = false;
  int endStatus_ = 0;
};

// The program folder of the running executable: beside it in a build, <prefix>/share/zynta
// when installed.
std::filesystem::path ExecutableFolder();

}  // namespace zynta::gui
