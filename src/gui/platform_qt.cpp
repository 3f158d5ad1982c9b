#include "gui/platform_qt.h"

#include <tuple>

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "calc/params.h"
#include "gui/dispatch.h"

namespace zynta::gui {

namespace {

// The calculator window's design position (the settings' defaults for Top and Left).
constexpr int DesignTop = 333;
constexpr int DesignLeft = 680;

// A field or chooser takes the width the window gives its column.
void Stretch(QWidget* widget) {
  widget->setSizePolicy(QSizePolicy::Expanding, widget->sizePolicy().verticalPolicy());
}

template <class Map, class Make>
auto& Find(Map& map, std::string_view name, Make make) {
  auto it = map.find(name);
  if (it == map.end()) it = map.emplace(std::string(name), make()).first;
  return *it->second;
}

// The mnemonic letters of the calculator window's labels: one per label at any time, none of
// the menu bar's (S, T, O, H). The friction's label shows one caption per equation.
QString MnemonicLetters(std::string_view label) {
  static const std::map<std::string_view, const char*> letters = {
      {"lbHLEq", "E"}, {"lbSpec", "P"},   {"lbNDia", "N"},  {"lbIDia", "I"},     {"lbArea", "A"},
      {"lbLen", "L"},  {"lbFric", "WUM"}, {"lbVis", "Y"},   {"lbSG", "G"},       {"lbFlow", "Q"},
      {"lbHL", "D"},   {"lbVel", "V"},    {"lbReyno", "R"}, {"lbFricFact", "C"},
  };
  auto it = letters.find(label);
  return it == letters.end() ? QString() : QString(it->second);
}

QIcon LoadIcon(const std::filesystem::path& programDir) {
  const std::filesystem::path file = programDir / "icons" / "zynta.svg";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return QIcon();
  return QIcon(Q(file.string()));
}

}  // namespace

QtPlatform::QtPlatform(const std::filesystem::path& programDir, const QtServices& services)
    : icon_(LoadIcon(programDir)),
      services_(services),
      tray_(std::make_unique<QtTrayIcon>(icon_)),
      help_(std::make_unique<QtHelpViewer>(icon_)),
      plots_(std::make_unique<QtPlotViewer>(icon_)),
      stash_(std::make_unique<QWidget>()),
      mainFrame_(std::make_unique<MainFrame>()) {
  Reopen();
  if (!icon_.isNull()) QApplication::setWindowIcon(icon_);
  main_ = std::make_unique<WindowAdapter>(mainFrame_.get());
  mainFrame_->SetAdapter(main_.get());
  boxes_ = std::make_unique<QtMessageBoxes>(mainFrame_.get());
  QObject::connect(qApp, &QApplication::focusChanged, mainFrame_.get(), [this](QWidget*, QWidget* now) {
    if (!now) return;
    if (now->window() == mainFrame_.get()) {
      main_->QtFocusChanged(now);
      return;
    }
    for (auto& [name, dialog] : dialogs_) {
      if (now->window() == dialog->Widget()) dialog->QtFocusChanged(now);
    }
  });
  // A refused second start raises the window on screen (a hidden one stays in the tray).
  lock_.OnKnock = [this] {
    MainFrame& frame = *mainFrame_;
    if (!frame.isVisible()) return;
    if (frame.isMinimized()) frame.showNormal();
    frame.raise();
    frame.activateWindow();
  };
  BuildMainWindow();
  BuildSplash();
  BuildIntro();
  BuildAbout();
}

QtPlatform::~QtPlatform() {
  Shutdown();  // no handler of the core runs while the widgets go
  QObject::disconnect(qApp, &QApplication::focusChanged, mainFrame_.get(), nullptr);
}

// ---- controls by name

LineField& QtPlatform::AddField(WindowAdapter& window, const std::string& name, QWidget* parent) {
  auto* field = new LineField(name, ClipboardInUse(), parent);
  window.Register(field, field);
  textFields_[name] = field;
  return *field;
}

MemoField& QtPlatform::AddMemo(WindowAdapter* window, const std::string& name, QWidget* parent) {
  auto* memo = new MemoField(name, ClipboardInUse(), parent);
  if (window) window->Register(memo, memo);
  textFields_[name] = memo;
  return *memo;
}

ChooserBox& QtPlatform::AddChooser(WindowAdapter& window, const std::string& name, bool listButton,
                                   QWidget* parent) {
  auto* box = new ChooserBox(name, listButton, parent);
  window.Register(box, box);
  comboBoxes_[name] = box;
  return *box;
}

TextLabel& QtPlatform::AddLabel(WindowAdapter*, const std::string& name, QWidget* parent) {
  auto* label = new TextLabel(name, parent);
  labels_[name] = label;
  return *label;
}

PushButton& QtPlatform::AddButton(WindowAdapter* window, const std::string& name, QWidget* parent) {
  auto* button = new PushButton(name, parent);
  if (window) window->Register(button, button);
  buttons_[name] = button;
  return *button;
}

CheckField& QtPlatform::AddCheckBox(WindowAdapter* window, const std::string& name, QWidget* parent) {
  auto* box = new CheckField(name, parent);
  if (window) window->Register(box, box);
  checkBoxes_[name] = box;
  return *box;
}

MenuAction& QtPlatform::AddMenuItem(const std::string& name, const QKeySequence& key, bool checkable) {
  auto* item = new MenuAction(name, false, mainFrame_.get());
  if (!key.isEmpty()) item->setShortcut(key);
  item->setCheckable(checkable);
  mainFrame_->addAction(item);  // its shortcut works wherever the focus is in the window
  menuItems_[name] = item;
  return *item;
}

platform::TextField& QtPlatform::GetTextField(std::string_view name) {
  return Find(textFields_, name, [&]() -> platform::TextField* {
    return new LineField(std::string(name), GetClipboard(), stash_.get());
  });
}

platform::ComboBox& QtPlatform::GetComboBox(std::string_view name) {
  return Find(comboBoxes_, name,
              [&]() -> platform::ComboBox* { return new ChooserBox(std::string(name), false, stash_.get()); });
}

platform::Label& QtPlatform::GetLabel(std::string_view name) {
  return Find(labels_, name, [&]() -> platform::Label* { return new TextLabel(std::string(name), stash_.get()); });
}

platform::MenuItem& QtPlatform::GetMenuItem(std::string_view name) {
  return Find(menuItems_, name, [&] { return new MenuAction(std::string(name), false, stash_.get()); });
}

platform::Menu& QtPlatform::GetMenu(std::string_view name) {
  return Find(menus_, name, [&] { return std::make_unique<PopupMenu>(std::string(name), mainFrame_.get()); });
}

platform::CheckBox& QtPlatform::GetCheckBox(std::string_view name) {
  return Find(checkBoxes_, name,
              [&]() -> platform::CheckBox* { return new CheckField(std::string(name), stash_.get()); });
}

platform::Button& QtPlatform::GetButton(std::string_view name) {
  return Find(buttons_, name,
              [&]() -> platform::Button* { return new PushButton(std::string(name), stash_.get()); });
}

platform::Control* QtPlatform::FindControl(std::string_view name) const {
  if (auto it = textFields_.find(name); it != textFields_.end()) return it->second;
  if (auto it = comboBoxes_.find(name); it != comboBoxes_.end()) return it->second;
  if (auto it = labels_.find(name); it != labels_.end()) return it->second;
  if (auto it = checkBoxes_.find(name); it != checkBoxes_.end()) return it->second;
  if (auto it = buttons_.find(name); it != buttons_.end()) return it->second;
  return nullptr;
}

MenuAction* QtPlatform::FindMenuItem(std::string_view name) const {
  auto it = menuItems_.find(name);
  return it == menuItems_.end() ? nullptr : it->second;
}

PopupMenu* QtPlatform::FindMenu(std::string_view name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second.get();
}

std::vector<platform::Control*> QtPlatform::Controls() const {
  std::map<std::string, platform::Control*, std::less<>> all;
  for (const auto& [name, c] : textFields_) all.emplace(name, c);
  for (const auto& [name, c] : comboBoxes_) all.emplace(name, c);
  for (const auto& [name, c] : labels_) all.emplace(name, c);
  for (const auto& [name, c] : checkBoxes_) all.emplace(name, c);
  for (const auto& [name, c] : buttons_) all.emplace(name, c);
  std::vector<platform::Control*> out;
  out.reserve(all.size());
  for (const auto& [name, c] : all) out.push_back(c);
  return out;
}

platform::Window& QtPlatform::GetDialog(std::string_view name) {
  if (auto it = dialogs_.find(name); it != dialogs_.end()) return *it->second;
  auto* dialog = new DialogFrame(nullptr);
  dialogWidgets_.emplace_back(dialog);
  dialog->setWindowTitle("ZYNTA");
  return AddDialog(std::string(name), dialog);
}

WindowAdapter& QtPlatform::AddDialog(const std::string& name, QWidget* widget) {
  auto adapter = std::make_unique<WindowAdapter>(widget);
  if (auto* dialog = dynamic_cast<DialogFrame*>(widget)) dialog->SetAdapter(adapter.get());
  WindowAdapter& ref = *adapter;
  dialogs_[name] = std::move(adapter);
  return ref;
}

QWidget* QtPlatform::DialogWidget(std::string_view name) const {
  auto it = dialogs_.find(name);
  return it == dialogs_.end() ? nullptr : it->second->Widget();
}

// ---- the calculator window

void QtPlatform::BuildMainWindow() {
  MainFrame& frame = *mainFrame_;
  WindowAdapter& window = *main_;
  frame.setObjectName("ZyntaWindow");
  frame.setWindowTitle("ZYNTA");
  if (!icon_.isNull()) frame.setWindowIcon(icon_);

  QMenuBar* bar = frame.menuBar();
  bar->addAction(&AddMenuItem("Solve1", QKeySequence(Qt::Key_F2), false));
  QMenu* tools = bar->addMenu("&Tools");
  tools->addAction(&AddMenuItem("Undo1", QKeySequence(Qt::CTRL | Qt::Key_Z), false));
  tools->addAction(&AddMenuItem("CopytoClipboard2", {}, false));
  tools->addAction(&AddMenuItem("ClearFields2", {}, false));
  tools->addAction(&AddMenuItem("Plot1", {}, false));
  tools->addSeparator();
  tools->addAction(&AddMenuItem("SetEnglishUnits1", {}, false));
  tools->addAction(&AddMenuItem("SetSIUnits1", {}, false));
  QMenu* options = bar->addMenu("&Options");
  for (const char* name : {"StayonTop1", "Sound1", "StartHidden1", "Checkforupdates1"})
    options->addAction(&AddMenuItem(name, {}, true));
  QMenu* help = bar->addMenu("&Help");
  help->addAction(&AddMenuItem("Help2", QKeySequence(Qt::Key_F1), false));
  help->addSeparator();
  help->addAction(&AddMenuItem("About1", {}, false));

  auto* central = new QWidget(&frame);
  frame.setCentralWidget(central);
  auto* grid = new QGridLayout(central);
  grid->setContentsMargins(10, 10, 10, 8);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);

  const QFontMetrics metrics(frame.font());
  const int fieldWidth = metrics.horizontalAdvance(QString(13, '0')) + 16;
  int unitWidth = 0;
  for (const char* widest : {"Turbulent", "cpoises", "kg/cm2", "L/min", "ft/min"})
    unitWidth = std::max(unitWidth, metrics.horizontalAdvance(widest));
  unitWidth += 12;

  // The name column fits every caption the rows can have.
  int nameWidth = metrics.horizontalAdvance("Solve For:");
  for (const calc::ParamInfo& info : calc::ParamTable)
    nameWidth = std::max(nameWidth, metrics.horizontalAdvance(info.caption));
  for (const char* caption : {"Spec Rough (E): ", "Manning's (n): ", "H-W (C): ", "Equation: ", "Pipe Spec: "})
    nameWidth = std::max(nameWidth, metrics.horizontalAdvance(caption));
  grid->setColumnMinimumWidth(0, nameWidth + 4);

  // A hidden row takes no room: the rows close up, the window fits what is shown.
  int row = 0;
  auto chooserRow = [&](QWidget* label, ChooserBox& box) {
    Stretch(&box);
    grid->addWidget(label, row, 0);
    grid->addWidget(&box, row, 1, 1, 2);
    box.setMinimumContentsLength(22);
    ++row;
  };
  auto* solveFor = new QLabel("Solve &For:", central);
  ChooserBox& problem = AddChooser(window, "cbSolveFor", false, central);
  solveFor->setBuddy(&problem);
  problem.setAccessibleName("Solve For");
  chooserRow(solveFor, problem);
  for (auto [label, chooser] : {std::pair{"lbHLEq", "ComboEq"}, std::pair{"lbSpec", "ComboSpec"}}) {
    TextLabel& name = AddLabel(&window, label, central);
    ChooserBox& box = AddChooser(window, chooser, false, central);
    name.Names(&box, MnemonicLetters(label));
    chooserRow(&name, box);
  }
  grid->setRowMinimumHeight(row++, 4);

  for (const calc::ParamInfo& info : calc::ParamTable) {
    TextLabel& name = AddLabel(&window, info.nameLabel, central);
    LineField& field = AddField(window, info.edit, central);
    TextLabel& unit = AddLabel(&window, info.unitLabel, central);
    field.setMinimumWidth(fieldWidth);
    Stretch(&field);
    unit.setMinimumWidth(unitWidth);
    unit.setContextMenuPolicy(Qt::DefaultContextMenu);
    grid->addWidget(&name, row, 0);
    grid->addWidget(&field, row, 1);
    grid->addWidget(&unit, row, 2);
    field.SetUnitLabel(&unit);
    name.Names(&field, MnemonicLetters(info.nameLabel));
    ++row;
  }
  // The three pick lists are small buttons at the right end of their fields.
  for (auto [list, edit, name] :
       {std::tuple{"NDiaList", "EditNDia", "Standard sizes"}, std::tuple{"cbFricList", "EditFric", "Materials"},
        std::tuple{"cbVisList", "EditVis", "Fluids"}}) {
    auto* field = static_cast<LineField*>(textFields_[edit]);
    ChooserBox& box = AddChooser(window, list, true, field);
    box.setAccessibleName(name);
    box.SetPopupAnchor(field);
    field->SetEndButton(&box);
  }
  // The fluids twelve at a time, the materials fourteen.
  dynamic_cast<ChooserBox*>(comboBoxes_["cbVisList"])->SetVisibleEntries(12);
  dynamic_cast<ChooserBox*>(comboBoxes_["cbFricList"])->SetVisibleEntries(14);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(row, 1);  // a window made taller keeps its rows together at the top

  // Never shown: the undo depth and the clipboard report's buffer.
  AddLabel(&window, "lbStackCount", central).SetVisible(false);
  AddMemo(nullptr, "MemoClipbrd", central).SetVisible(false);

  auto* statusText = new QLabel(&frame);
  statusText->setObjectName("StatusText");
  statusText->setAccessibleName("Status");
  statusText->setTextFormat(Qt::PlainText);
  statusText->setContentsMargins(6, 0, 6, 0);
  frame.statusBar()->setSizeGripEnabled(true);
  frame.statusBar()->addWidget(statusText, 1);
  status_ = std::make_unique<StatusLine>(statusText);

  // The user may make the window larger; its height follows the rows shown (MainFrame).
  frame.layout()->activate();
  frame.resize(frame.sizeHint());
  // Where the window is designed to open, unless the settings place it.
  frame.move(DesignLeft, DesignTop);
}

// ---- the other windows

void QtPlatform::BuildSplash() {
  auto* splash = new QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  dialogWidgets_.emplace_back(splash);
  splash->setObjectName("ZyntaSplash");
  splash->setFrameShape(QFrame::Box);
  splash->setLineWidth(2);
  splash->setAutoFillBackground(true);
  QPalette palette = splash->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, QColor(0x1f, 0x3f, 0x7f));
  splash->setPalette(palette);
  WindowAdapter& window = AddDialog("splash", splash);

  auto* layout = new QGridLayout(splash);
  layout->setContentsMargins(20, 16, 20, 16);
  auto* picture = new QLabel(splash);
  if (!icon_.isNull()) picture->setPixmap(icon_.pixmap(72, 72));
  layout->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);
  TextLabel& title = AddLabel(&window, "splash.lbZYNTA", splash);
  QFont big = title.font();
  big.setPointSize(big.pointSize() * 2 + 4);
  big.setBold(true);
  title.setFont(big);
  layout->addWidget(&title, 0, 1);
  layout->addWidget(&AddLabel(&window, "splash.lbVersion", splash), 1, 1);
  layout->addWidget(&AddLabel(&window, "splash.lbLoading", splash), 2, 1);
  layout->addWidget(&AddLabel(&window, "splash.lbUpdateCheck", splash), 3, 1);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  buttons->addWidget(&AddButton(&window, "splash.Button1", splash));
  buttons->addWidget(&AddButton(&window, "splash.Button2", splash));
  layout->addLayout(buttons, 4, 0, 1, 2);
  splash->setMinimumWidth(320);
}

void QtPlatform::BuildIntro() {
  auto* intro = new DialogFrame(mainFrame_.get());
  dialogWidgets_.emplace_back(intro);
  intro->setObjectName("ZyntaIntro");
  intro->setWindowTitle("ZYNTA");
  intro->setModal(true);
  WindowAdapter& window = AddDialog("intro", intro);
  window.SetCaption("ZYNTA");

  auto* layout = new QVBoxLayout(intro);
  MemoField& memo = AddMemo(&window, "intro.Memo2", intro);
  memo.setMinimumSize(520, 300);
  memo.setAccessibleName("Introduction");
  memo.setFocusPolicy(Qt::NoFocus);
  layout->addWidget(&memo);
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(&AddCheckBox(&window, "intro.CheckBox1", intro));
  bottom->addStretch();
  PushButton& ok = AddButton(&window, "intro.Button3", intro);
  ok.setDefault(true);
  ok.setMinimumWidth(90);
  bottom->addWidget(&ok);
  layout->addLayout(bottom);
}

void QtPlatform::BuildAbout() {
  auto* about = new DialogFrame(mainFrame_.get());
  dialogWidgets_.emplace_back(about);
  about->setObjectName("ZyntaAbout");
  about->setModal(true);
  WindowAdapter& window = AddDialog("about", about);

  auto* layout = new QGridLayout(about);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->setHorizontalSpacing(14);
  auto* picture = new QLabel(about);
  if (!icon_.isNull()) picture->setPixmap(icon_.pixmap(64, 64));
  layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);

  auto* nameRow = new QHBoxLayout();
  TextLabel& product = AddLabel(&window, "about.lbProductName", about);
  QFont big = product.font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  product.setFont(big);
  nameRow->addWidget(&product);
  TextLabel& trademark = AddLabel(&window, "about.lbTrademark", about);
  nameRow->addWidget(&trademark, 0, Qt::AlignTop);
  nameRow->addStretch();
  layout->addLayout(nameRow, 0, 1);
  layout->addWidget(&AddLabel(&window, "about.lbVersion", about), 1, 1);
  layout->addWidget(&AddLabel(&window, "about.lbCopyright", about), 2, 1);
  TextLabel& disclaimer = AddLabel(&window, "about.lbDisclaim", about);
  disclaimer.setWordWrap(true);
  disclaimer.setFixedWidth(380);
  layout->addWidget(&disclaimer, 3, 1);
  TextLabel& link = AddLabel(&window, "about.lbWebLink", about);
  link.setCursor(Qt::PointingHandCursor);
  link.setStyleSheet("color: #1f5fbf; text-decoration: underline;");
  layout->addWidget(&link, 4, 1);

  auto* buttons = new QHBoxLayout();
  buttons->addWidget(&AddButton(&window, "about.BtnCheckVersion", about));
  buttons->addWidget(&AddButton(&window, "about.BtnEmail", about));
  buttons->addStretch();
  PushButton& ok = AddButton(&window, "about.OKButton", about);
  ok.setDefault(true);
  buttons->addWidget(&ok);
  layout->addLayout(buttons, 5, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace zynta::gui
