#include "startup/about_box.h"

#include "settings/version.h"
#include "startup/update_check.h"
#include "startup/web_site.h"

namespace zynta::startup {

namespace {
constexpr const char* UpdateAvailable = "Update available - click again to get it!";
bool MentionsAvail(const std::string& text) { return text.find("avail") != std::string::npos; }
}  // namespace

std::string SupportMailBody(const std::string& osName, const std::string& settingsPath) {
  return "System: " + osName + "\r\n" + "Please attach your " + settingsPath +
         " file if you are encountering problems" + "\r\n" + "\r\n" + "Thank you!" + " - WXB Technical Support";
}

TfrmAboutBox::TfrmAboutBox(platform::Platform& ui, std::string settingsPath, std::string programDir)
    : ui_(ui),
      window_(ui.GetDialog("about")),
      lbVersion_(ui.GetLabel("about.lbVersion")),
      lbWebLink_(ui.GetLabel("about.lbWebLink")),
      BtnCheckVersion_(ui.GetButton("about.BtnCheckVersion")),
      BtnEmail_(ui.GetButton("about.BtnEmail")),
      OKButton_(ui.GetButton("about.OKButton")),
      settingsPath_(std::move(settingsPath)),
      programDir_(std::move(programDir)) {}

void TfrmAboutBox::execute(int x, int y) {
  window_.SetCaption("About ZYNTA");
  ui_.GetLabel("about.lbProductName").SetCaption("ZYNTA");
  ui_.GetLabel("about.lbTrademark").SetCaption("TM");
  ui_.GetLabel("about.lbCopyright").SetCaption("Copyright (C) WXB. All rights reserved.");
  ui_.GetLabel("about.lbDisclaim").SetCaption(Disclaimer);
  lbWebLink_.SetCaption(std::string("http://") + WebHost);
  lbWebLink_.SetHint("Click to visit  WXB's website");
  BtnCheckVersion_.SetCaption("Check for updates");
  BtnEmail_.SetCaption("Email WXB");
  OKButton_.SetCaption("&OK");
  window_.MoveCentredOn(x, y);
  window_.OnActivate = [this] { FormActivate(); };
  FormActivate();
  window_.ShowModal();
}

void TfrmAboutBox::FormActivate() { lbVersion_.SetCaption(std::string("Ver. ") + settings::ProgramVersion); }

void TfrmAboutBox::lbWebLinkClick() { ui_.GetDesktop().OpenUrl(WebPage(HomePagePath)); }

void TfrmAboutBox::BtnCheckVersionClick() {
  if (MentionsAvail(BtnCheckVersion_.Caption())) {
    ui_.GetDesktop().OpenUrl(WebPage(OverviewPagePath));
    return;
  }
  window_.SetBusyCursor(true);
  std::string result = CheckForUpdate(ui_.GetHttp());
  if (MentionsAvail(result)) result = UpdateAvailable;
  BtnCheckVersion_.SetCaption(result);
  window_.SetBusyCursor(false);
}

void TfrmAboutBox::BtnEmailClick() {
  window_.SetBusyCursor(true);
  platform::MailMessage mail;
  mail.subject = std::string("ZYNTA Version ") + settings::ProgramVersion;
  mail.body = SupportMailBody(ui_.GetSystem().OsName(), settingsPath_);
  mail.fromName = "your name";
  mail.fromAddress = SenderPlaceholder;
  mail.toName = "ZYNTA Support Request";
  mail.toAddress = SupportAddress;
  const int result = ui_.GetMail().Compose(mail);
  window_.SetBusyCursor(false);
  if (result != 0) ui_.Boxes().Show("Error sending mail (" + std::to_string(result) + ").", "");
  ui_.GetFolders().SetWorkingDirectory(programDir_);
  window_.Close();
}

void TfrmAboutBox::OKButtonClick() { window_.Close(); }

}  // namespace zynta::startup
