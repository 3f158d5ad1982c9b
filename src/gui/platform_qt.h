#pragma once
// The desktop platform: the calculator window and the program's other windows made of Qt
// widgets, their controls by name, and the desktop services.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QIcon>

#include "gui/controls_qt.h"
#include "gui/plot_window.h"
#include "gui/services_qt.h"
#include "gui/window_qt.h"
#include "platform/desktop_services.h"
#include "platform/platform.h"

namespace zynta::gui {

class QtPlatform : public platform::Platform {
 public:
  // The icon is read from the program folder.
  explicit QtPlatform(const std::filesystem::path& programDir);
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  platform::TextField& GetTextField(std::string_view name) override;
  platform::ComboBox& GetComboBox(std::string_view name) override;
  platform::Label& GetLabel(std::string_view name) override;
  platform::MenuItem& GetMenuItem(std::string_view name) override;
  platform::Menu& GetMenu(std::string_view name) override;
  platform::CheckBox& GetCheckBox(std::string_view name) override;
  platform::Button& GetButton(std::string_view name) override;
  platform::StatusBar& GetStatusBar() override { return *status_; }
  platform::Window& GetWindow() override { return *main_; }
  platform::Window& GetDialog(std::string_view name) override;

  platform::Beeper& Beep() override { return beeper_; }
  platform::MessageBoxes& Boxes() override { return *boxes_; }
  platform::Clipboard& GetClipboard() override { return clipboard_; }
  platform::Folders& GetFolders() override { return folders_; }
  platform::Desktop& GetDesktop() override { return desktop_; }
  platform::TrayIcon& GetTrayIcon() override { return *tray_; }
  platform::HelpViewer& GetHelp() override { return *help_; }
  platform::PlotViewer& GetPlots() override { return *plots_; }
  platform::MailComposer& GetMail() override { return mail_; }
  platform::HttpClient& GetHttp() override { return http_; }
  platform::InstanceLock& GetInstanceLock() override { return lock_; }
  platform::SystemServices& GetSystem() override { return system_; }

  MainFrame& MainWidget() const { return *mainFrame_; }
  WindowAdapter& MainAdapter() const { return *main_; }
  // The widget of one of the other windows ("splash", "intro", "about"), or nullptr.
  QWidget* DialogWidget(std::string_view name) const;
  QtTrayIcon& Tray() const { return *tray_; }
  QtHelpViewer& HelpWindow() const { return *help_; }
  QtPlotViewer& PlotViewer() const { return *plots_; }
  QtSystem& System() { return system_; }
  const QIcon& AppIcon() const { return icon_; }

 private:
  LineField& AddField(WindowAdapter& window, const std::string& name, QWidget* parent);
  MemoField& AddMemo(WindowAdapter* window, const std::string& name, QWidget* parent);
  ChooserBox& AddChooser(WindowAdapter& window, const std::string& name, bool listButton, QWidget* parent);
  TextLabel& AddLabel(WindowAdapter* window, const std::string& name, QWidget* parent);
  PushButton& AddButton(WindowAdapter* window, const std::string& name, QWidget* parent);
  CheckField& AddCheckBox(WindowAdapter* window, const std::string& name, QWidget* parent);
  MenuAction& AddMenuItem(const std::string& name, const QKeySequence& key, bool checkable);
  WindowAdapter& AddDialog(const std::string& name, QWidget* widget);

  void BuildMainWindow();
  void BuildSplash();
  void BuildIntro();
  void BuildAbout();

  QIcon icon_;
  QtBeeper beeper_;
  QtClipboard clipboard_;
  QtDesktop desktop_;
  QtMailComposer mail_;
  platform::CurlHttpClient http_;
  platform::FileInstanceLock lock_;
  platform::XdgFolders folders_;
  QtSystem system_;
  std::unique_ptr<QtTrayIcon> tray_;
  std::unique_ptr<QtHelpViewer> help_;
  std::unique_ptr<QtPlotViewer> plots_;

  // The adapters outlive the widgets: a widget being taken down may still report to them.
  std::unique_ptr<WindowAdapter> main_;
  std::map<std::string, std::unique_ptr<WindowAdapter>, std::less<>> dialogs_;
  std::unique_ptr<StatusLine> status_;
  std::unique_ptr<QtMessageBoxes> boxes_;

  std::map<std::string, platform::TextField*, std::less<>> textFields_;
  std::map<std::string, platform::ComboBox*, std::less<>> comboBoxes_;
  std::map<std::string, platform::Label*, std::less<>> labels_;
  std::map<std::string, platform::Button*, std::less<>> buttons_;
  std::map<std::string, platform::CheckBox*, std::less<>> checkBoxes_;
  std::map<std::string, MenuAction*, std::less<>> menuItems_;

  std::unique_ptr<QWidget> stash_;  // the hidden home of controls that no window shows
  std::unique_ptr<MainFrame> mainFrame_;
  std::vector<std::unique_ptr<QWidget>> dialogWidgets_;
  // Before the widgets go: the menus' Qt parts belong to the calculator window.
  std::map<std::string, std::unique_ptr<PopupMenu>, std::less<>> menus_;
};

}  // namespace zynta::gui
