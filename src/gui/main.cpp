// zynta: the calculator on the desktop.
#include <QApplication>

#include "gui/desktop_program.h"
#include "gui/timing.h"

int main(int argc, char** argv) {
  zynta::gui::Timing::Get().MainEntered();
  QApplication app(argc, argv);
  QApplication::setApplicationName("ZYNTA");
  QApplication::setDesktopFileName("zynta");
  // The window hides to the notification area; the program ends when the calculator does.
  QApplication::setQuitOnLastWindowClosed(false);
  zynta::gui::DesktopProgram program(zynta::gui::ExecutableFolder());
  if (!program.Start()) return 0;
  return program.Run();
}
