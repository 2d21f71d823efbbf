#include "ui/settings_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStringList>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <array>

#include "ui/connection_window_parts.h"
#include "ui/settings_tabs_catalogue.h"
#include "ui/settings_tabs_motion.h"
#include "ui/settings_tabs_timers.h"
#include "ui/settings_tabs_titler_clock.h"
#include "ui/settings_tabs_zone.h"

namespace koral::ui {
namespace {

// The settings file filter in Qt's form: the design lists description and
// pattern pairs separated by "|", and each description names its pattern.
QString QtFileFilter() {
  const QStringList parts = ToQString(SettingsWindowModel::kFileFilter).split(QLatin1Char('|'));
  QStringList descriptions;
  for (qsizetype i = 0; i < parts.size(); i += 2)
    descriptions << parts[i];
  return descriptions.join(QStringLiteral(";;"));
}

// A widget that keeps its room while hidden, so the row does not shift when
// a transfer shows it.
template <typename Widget>
Widget* KeepingRoom(Widget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
  return widget;
}

SettingsPage* MakePage(SettingsTab tab, SettingsWindowModel& model) {
  switch (tab) {
    case SettingsTab::Motion:
      return new MotionPage(model);
    case SettingsTab::Zone:
      return new ZonePage(model);
    case SettingsTab::Timers:
      return new TimersPage(model);
    case SettingsTab::Titler:
      return new TitlerPage(model);
    case SettingsTab::DateTime:
      return new DateTimePage(model);
    case SettingsTab::Alarms:
      return new CataloguePage(model, tab, {QString(), QStringLiteral("Sec")});
    case SettingsTab::Screen:
      return new CataloguePage(model, tab, {QStringLiteral("Position"), QString()});
    case SettingsTab::SerialPort:
    case SettingsTab::VideoLoss:
      break;
  }
  return new CataloguePage(model, tab, {});
}

constexpr std::array<SettingsTab, 9> kTabs = {SettingsTab::Motion,   SettingsTab::Zone,       SettingsTab::Alarms,
                                              SettingsTab::Timers,   SettingsTab::Screen,     SettingsTab::Titler,
                                              SettingsTab::DateTime, SettingsTab::SerialPort, SettingsTab::VideoLoss};

}  // namespace

SettingsWindow::SettingsWindow(SettingsWindowModel& model, SettingsWindowActions& actions, QWidget* parent)
    : QMainWindow(parent), model_(model), actions_(actions) {
  setObjectName(QStringLiteral("frmSetup"));
  setAccessibleName(QStringLiteral("Detector settings"));

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  tabs_ = new QTabWidget(central);
  tabs_->setObjectName(QStringLiteral("SSTab1"));
  tabs_->setAccessibleName(QStringLiteral("Settings tabs"));
  tabs_->setUsesScrollButtons(false);  // all nine captions in view
  for (const SettingsTab tab : kTabs) {
    SettingsPage* page = MakePage(tab, model_);
    page->setAccessibleName(ToQString(TabCaption(tab)));
    tabs_->addTab(page, ToQString(TabCaption(tab)));
    pages_.push_back(page);
  }
  column->addWidget(tabs_);

  auto* status = new QHBoxLayout;
  pleaseWait_ = KeepingRoom(new QLabel(central));
  pleaseWait_->setObjectName(QStringLiteral("lblDisplay"));
  pleaseWait_->setAccessibleName(QStringLiteral("Transfer notice"));
  progress_ = KeepingRoom(new QProgressBar(central));
  progress_->setObjectName(QStringLiteral("Pbr"));
  progress_->setAccessibleName(QStringLiteral("Transfer progress"));
  missedPolls_ = new QLabel(central);
  missedPolls_->setObjectName(QStringLiteral("Label54"));
  missedPolls_->setAccessibleName(QStringLiteral("Unanswered status polls"));
  // Its design caption stands until a poll goes unanswered; say what it counts.
  missedPolls_->setToolTip(QStringLiteral("Status polls in a row without an answer from the unit"));
  status->addWidget(pleaseWait_);
  status->addWidget(progress_, 1);
  status->addStretch();
  status->addWidget(missedPolls_);
  column->addLayout(status);
  setCentralWidget(central);

  BuildMenus();
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &SettingsWindow::NoteFocusWindow);

  model_.SetChangeListener([this](SettingsParts parts) { ShowParts(parts); });
  ShowParts(kAllSettingsParts);
  model_.Load();
}

SettingsWindow::~SettingsWindow() {
  model_.SetChangeListener(nullptr);
}

QAction* SettingsWindow::AddMenuAction(QMenu& menu, const char* name, const char* caption,
                                       void (SettingsWindow::*handler)()) {
  auto* action = new QAction(QString::fromUtf8(caption), this);
  action->setObjectName(QString::fromUtf8(name));
  connect(action, &QAction::triggered, this, handler);
  menu.addAction(action);
  return action;
}

void SettingsWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  AddMenuAction(*file, "mnuOpen", "&Open", &SettingsWindow::OpenFile)->setShortcut(QKeySequence::Open);
  AddMenuAction(*file, "mnuSaveAs", "Save", &SettingsWindow::SaveFile)->setShortcut(QKeySequence::Save);
  file->addSeparator()->setObjectName(QStringLiteral("mnuFileLine"));
  AddMenuAction(*file, "mnuExit", "E&xit", &SettingsWindow::Exit)->setShortcut(QKeySequence::Quit);

  QMenu* comm = menuBar()->addMenu(QStringLiteral("&Communication"));
  comm->setObjectName(QStringLiteral("mnuComm"));
  comPort_ = AddMenuAction(*comm, "mnuComPort", "Set Com&Port", &SettingsWindow::ShowConnectionWindow);
  AddMenuAction(*comm, "mnuKeyboard", "&Keyboard", &SettingsWindow::ShowKeypad);
  upload_ = AddMenuAction(*comm, "mnuupload", "&Upload", &SettingsWindow::Upload);
  AddMenuAction(*comm, "mnuDtN", "Day &t&o Night", &SettingsWindow::CopyDayToNight);
  AddMenuAction(*comm, "mnuNtD", "Night &t&o Day", &SettingsWindow::CopyNightToDay);
  AddMenuAction(*comm, "mnuDownload", "&Download", &SettingsWindow::Download);
  alarmWindow_ = AddMenuAction(*comm, "mnuAlarm", "Alarm &Window ", &SettingsWindow::ShowAlarmWindow);
  serialWindow_ = AddMenuAction(*comm, "mnuWin", "Serial &Window", &SettingsWindow::ShowSerialWindow);
  AddMenuAction(*comm, "mnuMode", "&Mode DAY/NIGHT", &SettingsWindow::SwitchDayNight);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  AddMenuAction(*help, "mnuManual", "Manual", &SettingsWindow::ShowManual)->setShortcut(QKeySequence::HelpContents);
  AddMenuAction(*help, "mnuAbout", "&About", &SettingsWindow::ShowAbout);
}

// ---- menu commands ------------------------------------------------------------

void SettingsWindow::OpenFile() {
  const auto reason = model_.OpenSettingsFile(actions_.OpenFileDialog(QtFileFilter()));
  if (reason) actions_.ShowMessage(QStringLiteral("Open"), ToQString(*reason));
}

void SettingsWindow::SaveFile() {
  const auto reason = model_.SaveSettingsFile(actions_.SaveFileDialog(QtFileFilter()));
  if (reason) actions_.ShowMessage(QStringLiteral("Save"), ToQString(*reason));
}

void SettingsWindow::Exit() {
  close();
}

void SettingsWindow::CopyDayToNight() {
  model_.CopyDayToNight();
}
void SettingsWindow::CopyNightToDay() {
  model_.CopyNightToDay();
}
void SettingsWindow::ShowConnectionWindow() {
  actions_.ShowConnectionWindow();
}
void SettingsWindow::ShowKeypad() {
  actions_.ShowKeypad();
}
void SettingsWindow::Upload() {
  actions_.Upload();
}
void SettingsWindow::Download() {
  actions_.Download();
}
void SettingsWindow::ShowAlarmWindow() {
  actions_.ShowAlarmWindow();
}
void SettingsWindow::ShowSerialWindow() {
  actions_.ShowSerialWindow();
}
void SettingsWindow::SwitchDayNight() {
  actions_.SwitchDayNight();
}
void SettingsWindow::ShowManual() {
  actions_.ShowManual();
}
void SettingsWindow::ShowAbout() {
  actions_.ShowAbout();
}

// ---- lifecycle ----------------------------------------------------------------

void SettingsWindow::Activate() {
  // Closing asks its question with a message box: not from inside the
  // window system's activation.
  if (model_.Activate(actions_.PortError())) QTimer::singleShot(0, this, &QWidget::close);
}

void SettingsWindow::NoteFocusWindow(QWindow* window) {
  if (!window || window == windowHandle()) return;  // another application, or this window
  const auto widgets = QApplication::topLevelWidgets();
  const auto owner = std::find_if(widgets.begin(), widgets.end(),
                                  [window](const QWidget* widget) { return widget->windowHandle() == window; });
  const bool program =
      owner != widgets.end() && !qobject_cast<QMessageBox*>(*owner) && !qobject_cast<QFileDialog*>(*owner);
  lastOther_ = program ? OtherWindow::Program : OtherWindow::Transient;
}

void SettingsWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && lastOther_ == OtherWindow::Program) {
    lastOther_ = OtherWindow::Transient;  // until another window of the program has been active
    Activate();
  }
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
  bool end = true;
  if (model_.CloseNeedsQuestion()) {
    const CloseAnswer answer =
        actions_.AskClose(ToQString(SettingsWindowModel::kCloseTitle), ToQString(SettingsWindowModel::kCloseQuestion));
    std::optional<std::filesystem::path> saveTo;
    if (answer == CloseAnswer::Yes) saveTo = actions_.SaveFileDialog(QtFileFilter());
    const CloseOutcome outcome = model_.AnswerCloseQuestion(answer, saveTo);
    if (outcome.error) actions_.ShowMessage(QStringLiteral("Save"), ToQString(*outcome.error));
    end = outcome.endProgram;
  }
  if (!end) {
    event->ignore();
    return;
  }
  event->accept();
  actions_.EndProgram();
}

// ---- showing the model ---------------------------------------------------------

void SettingsWindow::ShowParts(SettingsParts parts) {
  for (SettingsPage* page : pages_)
    page->ShowParts(parts);
  if (Touches(parts, SettingsPart::Caption)) ShowCaption();
  if (Touches(parts, SettingsPart::Progress)) ShowProgress();
  if (Touches(parts, SettingsPart::Menus)) ShowMenus();
}

void SettingsWindow::ShowCaption() {
  const QString caption = ToQString(model_.Caption());
  if (windowTitle() != caption) setWindowTitle(caption);
  ShowLabelState(*missedPolls_, model_.MissedPollsLabel());
}

void SettingsWindow::ShowProgress() {
  // A transfer runs inside one blocking handler: paint now, not at the next
  // pass of the event loop.
  const ProgressState& state = model_.Progress();
  if (progress_->maximum() != state.maximum) progress_->setRange(0, state.maximum);
  if (progress_->value() != state.value) progress_->setValue(state.value);
  if (progress_->isHidden() == state.visible) progress_->setVisible(state.visible);
  ShowLabelState(*pleaseWait_, model_.PleaseWait());
  progress_->repaint();
  pleaseWait_->repaint();
}

void SettingsWindow::ShowMenus() {
  const MenuState& menus = model_.Menus();
  comPort_->setEnabled(menus.comPort);
  upload_->setEnabled(menus.upload);
  alarmWindow_->setEnabled(menus.alarmWindow);
  serialWindow_->setEnabled(menus.serialWindow);
}

}  // namespace koral::ui
