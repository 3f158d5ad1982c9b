// zynta: the calculator on the desktop.
#include <QApplication>

#include "gui/desktop_program.h"
#include "gui/termination_signals.h"
#include "gui/timing.h"

int main(int argc, char** argv) {
  zynta::gui::Timing::Get().MainEntered();
  QApplication app(argc, argv);
  QApplication::setApplicationName("ZYNTA");
  // The installed desktop entry's name, so the desktop matches the window to its menu entry.
  QApplication::setDesktopFileName("com.example.zynta");
  // The window hides to the notification area; the program ends when the calculator does.
  QApplication::setQuitOnLastWindowClosed(false);
  zynta::gui::DesktopProgram program(zynta::gui::ExecutableFolder());
  if (!program.Start()) return 0;
  // Logging out, shutting down or a closed terminal save the settings as the session's end does.
  zynta::gui::TerminationSignals termination([&program] { program.Terminate(); });
  return program.Run();
}
