#pragma once
// The scenario driver on the recording platform: zynta-cli script. The user's actions are the
// recording controls' User* operations; what the screen shows is what the controls hold. The
// headless calculator acts through it too, on a platform of its own.

#include <memory>

#include "cli/script_driver.h"

namespace zynta::cli {

class RecordingDriver : public ScriptDriver {
 public:
  RecordingDriver() = default;
  // The user's actions on a platform someone else started a window on (Start is not used).
  explicit RecordingDriver(platform::RecordingPlatform& started) : started_(&started) {}
  ~RecordingDriver() override;

  bool Start(const ScriptFolders& folders, const ScriptAnswers& answers) override;
  bool SecondStart(const ScriptFolders& folders, const ScriptAnswers& answers) override;
  startup::ZyntaProgram* Program() const override { return program_.get(); }
  void SetWeb(const std::optional<std::string>& body) override;
  void SetNextAnswer(bool ok) override;
  void SetMailFail(int code) override;

  platform::Control* FindControl(std::string_view name) const override;
  platform::MenuItem* FindMenuItem(std::string_view name) const override;
  platform::Menu* FindMenu(std::string_view name) const override;
  std::vector<platform::Control*> Controls() const override;

  void Focus(platform::Control& control) override;
  void Click(platform::Control& control) override;
  void Type(platform::TextField& field, const std::string& text, bool selectAll) override;
  void FieldMenuEdit(platform::TextField& field, int entry, platform::Menu& fieldMenu) override;
  void Pick(platform::ComboBox& combo, int index) override;
  void TypeInto(platform::ComboBox& combo, const std::string& text) override;
  void OpenList(platform::ComboBox& list) override;
  void PickInOpenList(platform::ComboBox& list, int index) override;
  void CloseList(platform::ComboBox& list) override;
  bool RightClick(platform::Control& control, platform::Menu& menu) override;
  bool ChooseInMenu(platform::Menu& menu, const std::string* submenu, const std::string* caption) override;
  void MenuCommand(platform::MenuItem& item) override;
  void OpenAbout(platform::MenuItem& about, const std::function<void()>& whileOpen) override;
  void ClickInDialog(platform::Control& control) override;
  void CloseButton() override;
  void TrayClick(bool left) override;
  bool TrayMenu(const std::string& caption) override;
  void SessionEnd() override;
  void SetClipboard(const std::string& text) override;

  std::vector<std::string> Captions(const platform::Menu& menu) const override;
  platform::Control* Focused() const override;
  std::string StatusText() const override;
  std::string WindowCaption() const override;
  bool WindowShown() const override;
  bool OnTop() const override;
  std::string DialogCaption(std::string_view name) const override;
  bool DialogShown(std::string_view name) const override;
  bool DialogWasShown(std::string_view name) const override;
  bool HelpOpen() const override;
  std::string HelpPage() const override;
  bool TrayPresent() const override;
  std::string TrayTip() const override;
  std::string ClipboardText() const override;

  const std::vector<unsigned>& Beeps() const override;
  const std::vector<platform::RecordedBox>& Boxes() const override;
  const std::vector<std::string>& Opened() const override;
  const platform::MailMessage& LastMail() const override;
  std::string OsName() const override;

 private:
  std::unique_ptr<platform::RecordingPlatform> MakePlatform(const ScriptFolders& folders,
                                                            const ScriptAnswers& answers) const;
  platform::RecordingPlatform& Ui() const;

  std::unique_ptr<platform::RecordingPlatform> ui_;
  platform::RecordingPlatform* started_ = nullptr;
  std::unique_ptr<startup::ZyntaProgram> program_;
};

}  // namespace zynta::cli
