// zynta-gui-scenarios: the scenario scripts on the real Qt window, without a screen.
//   zynta-gui-scenarios [--program-dir DIR] [--dump] FILE...
// The same language, lines, files and reports as `zynta-cli script` (scenario-format.md);
// only the platform differs: the calculator's Qt widgets, driven with synthesized input on
// the offscreen platform (qt_driver.h). Exit status 0 when every expectation held.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "cli/script_runner.h"
#include "gui/desktop_program.h"
#include "qt_driver.h"

namespace fs = std::filesystem;

namespace {

// The offscreen platform's notes on what it cannot do (raise a window, grab the keyboard) are
// no news to a script run; everything else goes to the error stream as usual.
void Messages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith("This plugin does not support")) return;
  std::cerr << qFormatLogMessage(type, context, text).toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  // Never on the user's screen: the offscreen platform with a desktop's screen, unless another
  // platform is asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", ZYNTA_SCENARIO_SCREEN);
  // Qt's runtime folder in a private place, not one of its own making in the temporary folder.
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid()) {
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  }
  qInstallMessageHandler(Messages);
  QApplication app(argc, argv);
  QApplication::setApplicationName("ZYNTA");
  QApplication::setQuitOnLastWindowClosed(false);

  zynta::cli::ScriptOptions options;
  options.programDir = zynta::gui::ExecutableFolder();
  options.makeDriver = [] { return std::make_unique<zynta::gui::QtDriver>(); };
  std::vector<fs::path> files;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    const std::string arg = args[i].toStdString();
    if (arg == "--program-dir" && i + 1 < args.size()) {
      options.programDir = args[++i].toStdString();
    } else if (arg == "--dump") {
      options.dump = true;
    } else if (!arg.empty() && arg[0] == '-') {
      files.clear();
      break;
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.empty()) {
    std::cerr << "usage: zynta-gui-scenarios [--program-dir DIR] [--dump] FILE...\n";
    return 2;
  }
  if (!fs::is_directory(options.programDir)) {
    std::cerr << "zynta-gui-scenarios: no program folder at " << options.programDir.string() << "\n";
    return 2;
  }
  zynta::cli::ScriptTotals totals;
  for (const fs::path& file : files) zynta::cli::RunScriptFile(file, options, totals, std::cout, std::cerr);
  std::cout << totals.passed << " passed, " << totals.failed << " failed\n";
  return totals.failed == 0 ? 0 : 1;
}
