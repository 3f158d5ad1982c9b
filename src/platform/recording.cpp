#include "platform/recording.h"

#include <algorithm>

namespace zynta::platform {

namespace {
void Fire(const Handler& handler) {
  if (handler) handler();
}
}  // namespace

void RecTextField::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  modified_ = false;
  selStart_ = static_cast<int>(text_.size());
  selLength_ = 0;
  Fire(OnChange);
}

void RecTextField::SelectAll() { SetSelection(0, static_cast<int>(text_.size())); }

void RecTextField::SetSelection(int start, int length) {
  const int size = static_cast<int>(text_.size());
  selStart_ = std::clamp(start, 0, size);
  selLength_ = std::clamp(length, 0, size - selStart_);
}

void RecTextField::ReplaceSelection(const std::string& with) {
  text_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), with);
  selStart_ += static_cast<int>(with.size());
  selLength_ = 0;
  modified_ = true;
  Fire(OnChange);
}

void RecTextField::Backspace() {
  if (selLength_ == 0) {
    if (selStart_ == 0) return;  // nothing to delete: no change at all
    --selStart_;
    selLength_ = 1;
  }
  ReplaceSelection("");
}

void RecTextField::UserKey(char key) {
  if (OnKeyPress) OnKeyPress(key);
  if (key == 0) return;
  if (key == '\b') {
    Backspace();
  } else {
    ReplaceSelection(std::string(1, key));
  }
}

void RecTextField::UserRightClick() {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(handled);
  if (!handled && popupMenu_) popupMenu_->Popup();
}

void RecLabel::UserRightClick() {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(handled);
}

void RecMenu::Clear() {
  entries_.clear();
  open = false;
}

MenuItem& RecMenu::Add(const std::string& caption) {
  auto item = std::make_unique<RecMenuItem>(name_ + "." + caption);
  item->SetCaption(caption);
  RecMenuItem& ref = *item;
  entries_.push_back({caption, std::move(item), nullptr});
  return ref;
}

void RecMenu::AddSeparator() { entries_.push_back({"-", nullptr, nullptr}); }

Menu& RecMenu::AddSubmenu(const std::string& caption) {
  auto sub = std::make_unique<RecMenu>(caption);
  RecMenu& ref = *sub;
  entries_.push_back({caption, nullptr, std::move(sub)});
  return ref;
}

std::vector<MenuItem*> RecMenu::Entries() const {
  std::vector<MenuItem*> out;
  for (const Entry& e : entries_) {
    if (e.item) out.push_back(e.item.get());
  }
  return out;
}

void RecMenu::Popup() { open = true; }

std::vector<std::string> RecMenu::Captions() const {
  std::vector<std::string> out;
  for (const Entry& e : entries_) out.push_back(e.item ? e.item->Caption() : e.caption);
  return out;
}

RecMenu* RecMenu::Submenu(const std::string& caption) const {
  for (const Entry& e : entries_) {
    if (e.submenu && e.caption == caption) return e.submenu.get();
  }
  return nullptr;
}

bool RecMenu::UserChoose(const std::string& caption) {
  for (const Entry& e : entries_) {
    if (e.item && e.item->Caption() == caption) {
      open = false;
      if (e.item->Enabled()) Fire(e.item->OnClick);
      return true;
    }
  }
  return false;
}

void RecTextField::CutToClipboard() {
  if (selLength_ == 0) return;
  CopyToClipboard();
  ReplaceSelection("");
}

void RecTextField::CopyToClipboard() {
  if (selLength_ == 0) return;
  clipboard_.SetText(text_.substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)));
}

void RecTextField::PasteFromClipboard() { ReplaceSelection(clipboard_.Text()); }

void RecComboBox::ClearItems() {
  items_.clear();
  index_ = -1;
  if (style_ == ComboStyle::PickOnly) text_.clear();
}

void RecComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) {
    index_ = -1;
    if (style_ == ComboStyle::PickOnly) text_.clear();
    return;
  }
  index_ = index;
  text_ = items_[static_cast<size_t>(index)];
}

void RecComboBox::SetText(const std::string& text) {
  text_ = text;
  if (style_ == ComboStyle::PickOnly) {
    auto it = std::find(items_.begin(), items_.end(), text);
    index_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  } else if (index_ >= 0 && items_[static_cast<size_t>(index_)] != text) {
    index_ = -1;
  }
}

void RecComboBox::UserPick(int index) {
  SetItemIndex(index);
  Fire(OnSelect ? OnSelect : OnChange);
}

void RecComboBox::UserOpenPick(int index) {
  UserDropDown();
  if (index >= 0 && index < static_cast<int>(items_.size())) UserPick(index);
  UserCloseUp();
}

void RecComboBox::UserDropDown() { Fire(OnDropDown); }
void RecComboBox::UserCloseUp() { Fire(OnCloseUp); }

void RecComboBox::UserTypeAll(const std::string& text) {
  std::string typed;
  for (char c : text) {
    char key = c;
    if (OnKeyPress) OnKeyPress(key);
    if (key == 0) continue;
    if (key == '\b') {
      if (!typed.empty()) typed.pop_back();
    } else {
      typed += key;
    }
    SetText(typed);
    Fire(OnChange);
  }
}

// While the losing control runs its exit handler no control has the focus, so a focus move
// made by that handler does not exit it a second time, and wins over the move in progress.
void RecWindow::SetFocus(Control& control) {
  const unsigned move = ++focusMoves_;
  if (focused_ == &control) return;
  if (Control* old = focused_) {
    focused_ = nullptr;
    try {
      Fire(old->OnExit);
    } catch (...) {
      if (focusMoves_ == move) focused_ = old;  // the action ends; the focus stays put
      throw;
    }
    if (focusMoves_ != move) return;
  }
  focused_ = &control;
  Fire(control.OnEnter);
}

void RecWindow::ShowModal() {
  SetShown(true);
  if (auto hook = std::move(modalHook)) hook();
}

bool RecHelpViewer::ShowContents(const std::string& entryPage) {
  open = std::filesystem::is_regular_file(entryPage);
  if (open) page = entryPage;
  return open;
}

std::optional<std::string> RecHttpClient::Get(const std::string& host, int port, const std::string& path) {
  requests.push_back(host + ":" + std::to_string(port) + path);
  return body;
}

namespace {
std::set<std::string>& HeldLocks() {
  static std::set<std::string> held;
  return held;
}
}  // namespace

RecInstanceLock::~RecInstanceLock() { Release(); }

bool RecInstanceLock::Acquire(const std::string& name) {
  if (!failWith.empty()) return false;
  if (!HeldLocks().insert(name).second) return false;
  held_ = name;
  return true;
}

void RecInstanceLock::Release() {
  if (!held_.empty()) HeldLocks().erase(held_);
  held_.clear();
}

// The working directory is recorded, not changed: the tests share one process.
bool RecFolders::SetWorkingDirectory(const std::string& folder) {
  if (workingDirectoryFails) return false;
  workingDirectory = folder;
  return true;
}

void RecMessageBoxes::Show(const std::string& text, const std::string& caption) {
  shown.push_back({text, caption});
}

bool RecMessageBoxes::Confirm(const std::string& text, const std::string& caption) {
  shown.push_back({text, caption});
  const bool answer = nextAnswer;
  nextAnswer = true;
  return answer;
}

namespace {
template <class Map, class Make>
auto& GetOrMake(Map& map, std::string_view name, Make make) {
  auto it = map.find(name);
  if (it == map.end()) it = map.emplace(std::string(name), make()).first;
  return *it->second;
}
}  // namespace

RecTextField& RecordingPlatform::TextFieldNamed(std::string_view name) {
  return GetOrMake(textFields_, name,
                   [&] { return std::make_unique<RecTextField>(std::string(name), clipboard); });
}

RecComboBox& RecordingPlatform::ComboBoxNamed(std::string_view name) {
  return GetOrMake(comboBoxes_, name, [&] { return std::make_unique<RecComboBox>(std::string(name)); });
}

RecLabel& RecordingPlatform::LabelNamed(std::string_view name) {
  return GetOrMake(labels_, name, [&] { return std::make_unique<RecLabel>(std::string(name)); });
}

RecMenuItem& RecordingPlatform::MenuItemNamed(std::string_view name) {
  return GetOrMake(menuItems_, name, [&] { return std::make_unique<RecMenuItem>(std::string(name)); });
}

RecMenu& RecordingPlatform::MenuNamed(std::string_view name) {
  return GetOrMake(menus_, name, [&] { return std::make_unique<RecMenu>(std::string(name)); });
}

RecCheckBox& RecordingPlatform::CheckBoxNamed(std::string_view name) {
  return GetOrMake(checkBoxes_, name, [&] { return std::make_unique<RecCheckBox>(std::string(name)); });
}

RecButton& RecordingPlatform::ButtonNamed(std::string_view name) {
  return GetOrMake(buttons_, name, [&] { return std::make_unique<RecButton>(std::string(name)); });
}

RecWindow& RecordingPlatform::DialogNamed(std::string_view name) {
  return GetOrMake(dialogs_, name, [] { return std::make_unique<RecWindow>(); });
}

RecWindow* RecordingPlatform::FindDialog(std::string_view name) const {
  auto it = dialogs_.find(name);
  return it == dialogs_.end() ? nullptr : it->second.get();
}

RecMenu* RecordingPlatform::FindMenu(std::string_view name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second.get();
}

Control* RecordingPlatform::FindControl(std::string_view name) const {
  if (auto it = textFields_.find(name); it != textFields_.end()) return it->second.get();
  if (auto it = comboBoxes_.find(name); it != comboBoxes_.end()) return it->second.get();
  if (auto it = labels_.find(name); it != labels_.end()) return it->second.get();
  if (auto it = checkBoxes_.find(name); it != checkBoxes_.end()) return it->second.get();
  if (auto it = buttons_.find(name); it != buttons_.end()) return it->second.get();
  return nullptr;
}

MenuItem* RecordingPlatform::FindMenuItem(std::string_view name) const {
  auto it = menuItems_.find(name);
  return it == menuItems_.end() ? nullptr : it->second.get();
}

std::vector<Control*> RecordingPlatform::Controls() const {
  std::map<std::string, Control*> all;
  for (const auto& [name, c] : textFields_) all.emplace(name, c.get());
  for (const auto& [name, c] : comboBoxes_) all.emplace(name, c.get());
  for (const auto& [name, c] : labels_) all.emplace(name, c.get());
  for (const auto& [name, c] : checkBoxes_) all.emplace(name, c.get());
  for (const auto& [name, c] : buttons_) all.emplace(name, c.get());
  std::vector<Control*> out;
  out.reserve(all.size());
  for (const auto& [name, c] : all) out.push_back(c);
  return out;
}

}  // namespace zynta::platform
