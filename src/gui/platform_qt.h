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
#include "gui/instance_channel.h"
#include "gui/plot_window.h"
#include "gui/services_qt.h"
#include "gui/window_qt.h"
#include "platform/desktop_services.h"
#include "platform/platform.h"

namespace zynta::gui {

// Services that take the place of the desktop's own; each one left null is the desktop's. The
// desktop program gives none; the scenario runner gives recording ones where the offscreen
// platform has nothing to offer (the notification area) or where a run must not touch the
// machine (web, mail, browser, beeps, waits, folders, the lock). They must outlive the platform.
struct QtServices {
  platform::Beeper* beeper = nullptr;
  platform::MessageBoxes* boxes = nullptr;
  platform::Clipboard* clipboard = nullptr;
  platform::Folders* folders = nullptr;
  platform::Desktop* desktop = nullptr;
  platform::TrayIcon* tray = nullptr;
  platform::HelpViewer* help = nullptr;
  platform::MailComposer* mail = nullptr;
  platform::HttpClient* http = nullptr;
  platform::InstanceLock* lock = nullptr;
  platform::SystemServices* system = nullptr;
};

class QtPlatform : public platform::Platform {
 public:
  // The icon is read from the program folder.
  explicit QtPlatform(const std::filesystem::path& programDir, const QtServices& services = {});
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

  platform::Beeper& Beep() override { return Pick(services_.beeper, beeper_); }
  platform::MessageBoxes& Boxes() override { return Pick(services_.boxes, *boxes_); }
  platform::Clipboard& GetClipboard() override { return ClipboardInUse(); }
  platform::Folders& GetFolders() override { return Pick(services_.folders, folders_); }
  platform::Desktop& GetDesktop() override { return Pick(services_.desktop, desktop_); }
  platform::TrayIcon& GetTrayIcon() override { return Pick(services_.tray, *tray_); }
  platform::HelpViewer& GetHelp() override { return Pick(services_.help, *help_); }
  platform::PlotViewer& GetPlots() override { return *plots_; }
  platform::MailComposer& GetMail() override { return Pick(services_.mail, mail_); }
  platform::HttpClient& GetHttp() override { return Pick(services_.http, http_); }
  platform::InstanceLock& GetInstanceLock() override { return Pick(services_.lock, lock_); }
  platform::SystemServices& GetSystem() override { return Pick(services_.system, system_); }

  // Looks up without making anything: nullptr for a name no window has.
  platform::Control* FindControl(std::string_view name) const;
  MenuAction* FindMenuItem(std::string_view name) const;
  PopupMenu* FindMenu(std::string_view name) const;
  // Every control by name, in name order.
  std::vector<platform::Control*> Controls() const;

  MainFrame& MainWidget() const { return *mainFrame_; }
  WindowAdapter& MainAdapter() const { return *main_; }
  // The widget of one of the other windows ("splash", "intro", "about"), or nullptr.
  QWidget* DialogWidget(std::string_view name) const;
  QtTrayIcon& Tray() const { return *tray_; }
  QtHelpViewer& HelpWindow() const { return *help_; }
  QtPlotViewer& PlotViewer() const { return *plots_; }
  QtSystem& System() { return system_; }  // the desktop's own, whichever is in use
  const QIcon& AppIcon() const { return icon_; }

 private:
  // Not virtual: the constructor hands it to the text fields it makes.
  platform::Clipboard& ClipboardInUse() { return Pick(services_.clipboard, clipboard_); }
  template <class T, class Own>
  static T& Pick(T* given, Own& own) {
    return given ? *given : static_cast<T&>(own);
  }

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
  QtServices services_;
  QtBeeper beeper_;
  QtClipboard clipboard_;
  QtDesktop desktop_;
  QtMailComposer mail_;
  platform::CurlHttpClient curl_;
  QtWaitingHttpClient http_{curl_};
  ChannelLock lock_;
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
