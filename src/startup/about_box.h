#pragma once
// Help, About: the product and its version, a link to the maker's web site, the update check
// on request and the support mail.

#include <string>

#include "platform/platform.h"

namespace zynta::startup {

inline constexpr const char* SupportAddress = "support@zynta.example.com";
inline constexpr const char* SenderPlaceholder = "your.name@example.com";
inline constexpr const char* Disclaimer =
    "This product is provided as is, without warranty of any kind. It is intended to assist in the "
    "design of fluid conveyance systems. The user must ensure that all results are proper.";

class TfrmAboutBox {
 public:
  // settingsPath goes into the support mail; programDir becomes the working folder again.
  TfrmAboutBox(platform::Platform& ui, std::string settingsPath, std::string programDir);

  // Creates the box's content and shows it modally, centred on the point.
  void execute(int x, int y);

  void FormActivate();
  void lbWebLinkClick();
  void BtnCheckVersionClick();
  void BtnEmailClick();
  void OKButtonClick();

 private:
  platform::Platform& ui_;
  platform::Window& window_;
  platform::Label& lbVersion_;
  platform::Label& lbWebLink_;
  platform::Button& BtnCheckVersion_;
  platform::Button& BtnEmail_;
  platform::Button& OKButton_;
  std::string settingsPath_;
  std::string programDir_;
};

// The support mail's body: the system, where the settings file is, and the thanks.
std::string SupportMailBody(const std::string& osName, const std::string& settingsPath);

}  // namespace zynta::startup
