#include "gui/desktop_program.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <QApplication>
#include <QSessionManager>

#include "gui/dispatch.h"
#include "gui/timing.h"
#include "startup/program_folder.h"

namespace zynta::gui {

DesktopProgram::DesktopProgram(const std::filesystem::path& programDir)
    : platform_(std::make_unique<QtPlatform>(programDir)),
      program_(std::make_unique<startup::ZyntaProgram>(*platform_, programDir)) {
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, &platform_->MainWidget(),
                   [this](QSessionManager&) { EndSession(); });
}

int DesktopProgram::EndSession() {
  if (program_->HasForm()) {
    FromQt([this] { program_->Form().SessionEndQuery(); });
    endStatus_ = program_->Form().SaveFailed() ? 1 : 0;
  }
  // Queued: the session manager gets its answer first.
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  return endStatus_;
}

void DesktopProgram::Terminate() {
  // A save stuck in the file system (a hung network folder) must not keep the process alive.
  std::thread([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1900));
    std::_Exit(3);
  }).detach();
  const int status = EndSession();
  if (!AtTopLevel()) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
}

// The core goes first: the controls it refers to live in the platform.
DesktopProgram::~DesktopProgram() {
  Shutdown();
  program_.reset();
  platform_.reset();
}

bool DesktopProgram::Start() {
  SetAfterAction([this] { AfterAction(); });
  const bool started = program_->Start();
  if (program_->HasForm() && program_->Form().SettingsIni())
    platform_->PlotViewer().SetSettingsFile(program_->Form().SettingsIni()->Path());
  Timing::Get().StartFinished(started && platform_->MainAdapter().Shown());
  return started && program_->Running();
}

void DesktopProgram::AfterAction() {
  if (!program_->Running() && running_loop_) QCoreApplication::quit();
}

int DesktopProgram::Run() {
  if (!program_->Running()) return 0;
  running_loop_ = true;
  const int code = QApplication::exec();
  running_loop_ = false;
  return code != 0 ? code : endStatus_;
}

std::filesystem::path ExecutableFolder() {
  return startup::RunningProgramFolder(std::filesystem::path(S(QCoreApplication::applicationFilePath())));
}

}  // namespace zynta::gui
