#include "startup/program_start.h"

#include "settings/version.h"
#include "startup/update_check.h"
#include "startup/web_site.h"

namespace zynta::startup {

namespace {
constexpr const char* SecondCopyText = "Click on snowflake icon in system tray ";
constexpr const char* SecondCopyCaption = "ZYNTA is already running!";
constexpr const char* LockFailedText = "Unable to check for another running copy of ZYNTA: ";
constexpr const char* LockFailedEnd = ". ZYNTA starts anyway.";
}  // namespace

const std::vector<std::string>& IntroLines() {
  static const std::vector<std::string> lines = {
      "",
      "ZYNTA will now load.",
      "",
      "When you click the Close button",
      "(the X button on the upper right corner of ZYNTA's window)",
      "it will minimize itself to your System Tray.",
      "",
      "To bring ZYNTA into view again, simply click on the snowflake icon",
      "in your System Tray. Alternately clicking on the snowflake icon will",
      "hide or show ZYNTA without removing it from memory.",
      "",
      "To fully close ZYNTA, right click on the snowflake icon",
      "and click \"Exit ZYNTA\". To use ZYNTA again during the same",
      "desktop session, you must click the ZYNTA shortcut on your",
      "desktop, or ZYNTA in the Science menu of your desktop.",
      "",
      "ZYNTA will load at startup as long",
      "as there is a shortcut to ZYNTA in the",
      "\"~/.config/autostart\" ",
      "folder.",
  };
  return lines;
}

ZyntaProgram::ZyntaProgram(platform::Platform& ui, std::filesystem::path programDir)
    : ui_(ui), programDir_(std::move(programDir)) {}

// Only a running copy stops the start. A lock that cannot be taken at all (a read-only or
// foreign folder, a file system without locks) must not keep the user from the calculator.
bool ZyntaProgram::Start() {
  platform::InstanceLock& lock = ui_.GetInstanceLock();
  if (!lock.Acquire(InstanceName)) {
    const std::string failure = lock.FailureText();
    if (failure.empty()) {
      ui_.Boxes().Show(SecondCopyText, SecondCopyCaption);
      return false;
    }
    ui_.Boxes().Show(LockFailedText + failure + LockFailedEnd, "");
  }
  platform::Window& window = ui_.GetWindow();
  window.SetBusyCursor(true);
  form_ = std::make_unique<shell::TfrmZYNTA>(ui_, programDir_);
  form_->FirstChangeCheck = [this] { UpdateCheckAtFirstChange(ui_, form_->Window); };
  form_->ShowAbout = [this] { ShowAbout(); };
  if (!form_->FormCreate()) return false;
  CreateSplash();
  ui_.GetSystem().ProcessEventsFor(SplashMilliseconds);  // the splash timer's first tick
  ui_.GetDialog("splash").Close();
  // Without a notification area a window started hidden could never be reached.
  if (!form_->StartHidden1.Checked() || !form_->CanHide()) form_->Show();
  window.SetBusyCursor(false);
  return true;
}

void ZyntaProgram::CreateSplash() {
  platform::Window& splash = ui_.GetDialog("splash");
  const platform::Window& main = ui_.GetWindow();
  splash.MoveTo(main.Top(), main.Left());
  const settings::IniFile* ini = form_->SettingsIni();
  form_->NoIntro = ini && ini->ReadBool("MainForm", "NoIntro", false);
  form_->CheckUpdatesAtStart = ini && ini->ReadBool("MainForm", "Checkforupdates", false);
  if (!form_->NoIntro) ShowIntro(main.Left() + main.Width() / 2, main.Top() + main.Height() / 2);
  ui_.GetLabel("splash.lbZYNTA").SetCaption("ZYNTA");
  platform::Label& updateCheck = ui_.GetLabel("splash.lbUpdateCheck");
  updateCheck.SetCaption("Checking for updates...");
  updateCheck.SetVisible(false);
  platform::Button& site = ui_.GetButton("splash.Button1");
  site.SetCaption(WebHost);
  site.OnClick = [this] { ui_.GetDesktop().OpenUrl(WebPage(UpdatesPagePath)); };
  site.SetVisible(false);
  platform::Button& proceed = ui_.GetButton("splash.Button2");
  proceed.SetCaption("Continue...");
  proceed.SetVisible(false);
  splash.SetShown(true);
  ui_.GetLabel("splash.lbVersion").SetCaption(settings::ProgramVersion);
  platform::Label& loading = ui_.GetLabel("splash.lbLoading");
  loading.SetCaption("Loading...");
  loading.SetVisible(true);
}

void ZyntaProgram::ShowIntro(int x, int y) {
  platform::Window& intro = ui_.GetDialog("intro");
  std::string text;
  const auto& lines = IntroLines();
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
  ui_.GetTextField("intro.Memo2").SetText(text);
  ui_.GetCheckBox("intro.CheckBox1").SetCaption("Don't show this screen again");
  platform::Button& ok = ui_.GetButton("intro.Button3");
  ok.SetCaption("OK");
  ok.OnClick = [this] { Button3Click(); };
  intro.MoveCentredOn(x, y);
  intro.ShowModal();
}

void ZyntaProgram::Button3Click() {
  if (ui_.GetCheckBox("intro.CheckBox1").Checked()) form_->NoIntro = true;
  ui_.GetDialog("intro").Close();
}

void ZyntaProgram::ShowAbout() {
  shell::TfrmZYNTA& f = *form_;
  shell::EventBoundary& boundary = f.Boundary();
  aboutBox_ = std::make_unique<TfrmAboutBox>(ui_, f.Settings().path.string(), f.ProgramDir().string());
  TfrmAboutBox& box = *aboutBox_;
  ui_.GetLabel("about.lbWebLink").OnClick = boundary.Guard([&box] { box.lbWebLinkClick(); });
  ui_.GetButton("about.BtnCheckVersion").OnClick = boundary.Guard([&box] { box.BtnCheckVersionClick(); });
  ui_.GetButton("about.BtnEmail").OnClick = boundary.Guard([&box] { box.BtnEmailClick(); });
  ui_.GetButton("about.OKButton").OnClick = boundary.Guard([&box] { box.OKButtonClick(); });
  // The box's buttons are actions of their own, also while a nested loop runs it.
  platform::Window& window = f.Window;
  boundary.Modal([&] { box.execute(window.Left() + window.Width() / 2, window.Top() + window.Height() / 2); });
}

}  // namespace zynta::startup
