// koral-shots: takes the screenshots of the desktop program's windows for the
// documentation. It runs the program twice, as a user would go through it:
// once on the network link, to an address where no unit answers, for the
// selector, "SetUDP" and the dialog "Connection"; once on the serial link
// against the emulated unit on Com1 (KORAL_COM1), for "Setting", every tab of
// the settings window, the monitor, the alarm window, the keypad and the
// manual; and once through the IP address tool on the same line. It only
// drives the widgets; the program decides.
//
//   koral-shots OUTDIR
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "ui/alarm_lamp.h"
#include "ui/desktop_program.h"

namespace {

// Nothing listens there, so the connection check finds no answer.
constexpr const char* kSilentAddress = "127.0.0.3";
constexpr int kWindowTimeoutMs = 10000;
constexpr int kDownloadTimeoutMs = 90000;
constexpr int kAlarmTimeoutMs = 30000;  // the emulated scene raises one every few seconds

struct ShotFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Lets the program run until `condition` holds.
void WaitFor(const std::function<bool()>& condition, const std::string& what, int timeoutMs = kWindowTimeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) throw ShotFailure("timed out waiting for " + what);
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
}

// Lets the program run for a while (layouts, repaints, the heartbeat).
void Settle(int ms) {
  const QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
}

QWidget* VisibleTopLevel(const QString& name) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == name && widget->isVisible()) return widget;
  return nullptr;
}

QWidget& AwaitWindow(const char* name) {
  const QString objectName = QString::fromLatin1(name);
  QWidget* window = nullptr;
  WaitFor(
      [&] {
        window = VisibleTopLevel(objectName);
        return window != nullptr && window->windowHandle() != nullptr && window->windowHandle()->isExposed();
      },
      std::string("window ") + name);
  return *window;
}

template <typename Widget>
Widget& Child(const QWidget& window, const char* name) {
  auto* child = window.findChild<Widget*>(QString::fromLatin1(name));
  if (child == nullptr) throw ShotFailure(window.objectName().toStdString() + " has no control " + name);
  return *child;
}

// Picks an entry of a list as the user's click does: the list's activation
// (the window then shows what its view-model made of it).
void Pick(QComboBox& list, const QString& entry) {
  const int position = list.findText(entry);
  if (position < 0) throw ShotFailure("no entry \"" + entry.toStdString() + "\" in " + list.objectName().toStdString());
  emit list.activated(position);
}

// Replaces the text of a box by typing it.
template <typename Box>
void Type(Box& box, const QString& text) {
  box.setFocus();
  box.selectAll();
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(&box, &press);
  }
}

class Camera {
 public:
  explicit Camera(QString folder) : folder_(std::move(folder)) {}

  // `ready`, when given, is waited for after the window has settled (a
  // blinking lamp in its red phase).
  void Shoot(QWidget& window, const QString& name, const std::function<bool()>& ready = nullptr) {
    Settle(300);
    if (ready) WaitFor(ready, "the moment to shoot " + name.toStdString());
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path, "PNG")) throw ShotFailure("cannot write " + path.toStdString());
    // The grab has no title bar: the caption goes beside the file name.
    std::printf("%s  (caption \"%s\")\n", qPrintable(path), qPrintable(window.windowTitle()));
    std::fflush(stdout);
    ++count_;
  }
  int Count() const { return count_; }

 private:
  QString folder_;
  int count_ = 0;
};

// Answers every message box as it opens, with its default button (OK for the
// notices of the connection flow), and tells what it said.
class MessageAnswerer : public QObject {
 public:
  MessageAnswerer() {
    connect(&timer_, &QTimer::timeout, this, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible() || box->buttons().isEmpty()) return;
      std::fprintf(stderr, "message \"%s\": %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
      QAbstractButton* answer = box->defaultButton();
      if (answer == nullptr) answer = box->buttons().first();  // a notice with OK alone
      answer->click();
    });
    timer_.start(100);
  }

 private:
  QTimer timer_;
};

// ---- the zone grid -----------------------------------------------------------

constexpr int kCellPitch = 16;  // device-independent pixels, as the grid draws

QPointF CellCentre(int row, int column) {
  return {column * kCellPitch + kCellPitch / 2.0, row * kCellPitch + kCellPitch / 2.0};
}

void SendMouse(QWidget& grid, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, at, grid.mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(&grid, &event);
}

// A stroke with the left button held from one cell to another.
void Stroke(QWidget& grid, int fromRow, int fromColumn, int toRow, int toColumn) {
  SendMouse(grid, QEvent::MouseButtonPress, CellCentre(fromRow, fromColumn), Qt::LeftButton, Qt::LeftButton);
  SendMouse(grid, QEvent::MouseMove, CellCentre(toRow, toColumn), Qt::NoButton, Qt::LeftButton);
  SendMouse(grid, QEvent::MouseButtonRelease, CellCentre(toRow, toColumn), Qt::LeftButton, Qt::NoButton);
}

// Row by row over a block of cells.
void PaintBlock(QWidget& grid, int top, int left, int bottom, int right) {
  for (int row = top; row <= bottom; ++row)
    Stroke(grid, row, left, row, right);
}

// A scene of a room: a door (A), a window (B), the floor (C) and a shelf
// with a diagonal edge (D), the rest in no zone; the corner markers of "PTZ"
// stay as the program places them.
void PaintZones(QWidget& zonePage) {
  QWidget& grid = Child<QWidget>(zonePage, "ZoneGrid");
  const auto choose = [&](const char* button) { Child<QPushButton>(zonePage, button).click(); };
  choose("btnZone8");  // "-"
  PaintBlock(grid, 0, 0, 11, 23);
  choose("btnZone0");
  PaintBlock(grid, 2, 3, 7, 6);
  choose("btnZone1");
  PaintBlock(grid, 2, 10, 4, 19);
  choose("btnZone2");
  PaintBlock(grid, 9, 2, 10, 21);
  choose("btnZone3");
  PaintBlock(grid, 6, 14, 7, 19);
  Stroke(grid, 5, 13, 8, 10);
}

// ---- the two runs --------------------------------------------------------------

QString FileNameOfTab(const QString& caption) {
  QString name = caption.toLower();
  name.replace(QLatin1Char(' '), QLatin1Char('-'));
  return QStringLiteral("frmsetup-") + name;
}

// Network link: selector, SetUDP, then "Connection" after the silent address.
void ShootNetworkRun(Camera& camera) {
  koral::ui::DesktopProgram program;
  program.Start();
  QWidget& selector = AwaitWindow("firstpage");
  camera.Shoot(selector, QStringLiteral("firstpage"));
  Pick(Child<QComboBox>(selector, "cmbSelect"), QStringLiteral("Koral-UDP"));

  QWidget& network = AwaitWindow("SetUDP");
  camera.Shoot(network, QStringLiteral("setudp"));
  Type(Child<QLineEdit>(network, "txt_IP"), QString::fromLatin1(kSilentAddress));
  Child<QPushButton>(network, "Command1").click();  // "Connect"

  QWidget& dialog = AwaitWindow("Form3");
  camera.Shoot(dialog, QStringLiteral("form3"));
}

void ShootLiveWindows(Camera& camera, QWidget& settings);

bool AnyLampRed(const QWidget& alarms) {
  for (const koral::ui::AlarmLamp* lamp : alarms.findChildren<koral::ui::AlarmLamp*>())
    if (lamp->colour() == QColor(255, 0, 0)) return true;
  return false;
}

// Serial link on the emulated unit: Setting, then every tab of frmSetup.
void ShootSerialRun(Camera& camera) {
  koral::ui::DesktopProgram program;
  program.Start();
  QWidget& selector = AwaitWindow("firstpage");
  Pick(Child<QComboBox>(selector, "cmbSelect"), QStringLiteral("Koral-Serial"));

  QWidget& serial = AwaitWindow("Setting");
  camera.Shoot(serial, QStringLiteral("setting"));
  Pick(Child<QComboBox>(serial, "cmbSelect"), QStringLiteral("Com1 4800,n,8,1"));

  QWidget& settings = AwaitWindow("frmSetup");
  Settle(1500);  // a heartbeat or two: the caption and the clock follow the unit
  auto& tabs = Child<QTabWidget>(settings, "SSTab1");
  const auto showTab = [&](int index) {
    tabs.setCurrentIndex(index);
    return tabs.widget(index);
  };
  Pick(Child<QComboBox>(*showTab(0), "CmbMotion"), QStringLiteral("PTZ"));
  for (int index = 0; index < tabs.count(); ++index) {
    QWidget* page = showTab(index);
    if (index == 1) PaintZones(*page);
    camera.Shoot(settings, FileNameOfTab(tabs.tabText(index)));
  }
  ShootLiveWindows(camera, settings);
}

void Trigger(const QWidget& window, const char* menuEntry) {
  Child<QAction>(window, menuEntry).trigger();
}

// The unit streams ALL FLAGS once the settings say so: download them, then the
// monitor, the alarm window, the keypad and the manual.
void ShootLiveWindows(Camera& camera, QWidget& settings) {
  auto& tabs = Child<QTabWidget>(settings, "SSTab1");
  for (int index = 0; index < tabs.count(); ++index)
    if (tabs.tabText(index) == QStringLiteral("Serial Port")) tabs.setCurrentIndex(index);
  Pick(Child<QComboBox>(settings, "cmbOutputData"), QStringLiteral("ALL FLAGS"));
  auto& progress = Child<QProgressBar>(settings, "Pbr");
  // The download asks first (answered), then shows its progress until done.
  QTimer::singleShot(0, &settings, [&settings] { Trigger(settings, "mnuDownload"); });
  WaitFor([&] { return progress.isVisible(); }, "the download to start");
  WaitFor([&] { return !progress.isVisible(); }, "the download", kDownloadTimeoutMs);
  Settle(1000);

  Trigger(settings, "mnuWin");
  QWidget& monitor = AwaitWindow("frmSerialWin");
  Pick(Child<QComboBox>(monitor, "cmbSerialOutput"), QStringLiteral("ALL FLAGS"));

  Trigger(settings, "mnuAlarm");  // the ALL FLAGS notice is answered
  QWidget& alarms = AwaitWindow("AlarmWin");
  WaitFor([&] { return AnyLampRed(alarms); }, "a red lamp", kAlarmTimeoutMs);
  camera.Shoot(alarms, QStringLiteral("alarmwin"), [&] { return AnyLampRed(alarms); });
  alarms.close();
  Settle(6000);  // the alarm cleared again
  camera.Shoot(monitor, QStringLiteral("frmserialwin"));
  monitor.close();

  Trigger(settings, "mnuKeyboard");
  QWidget& keypad = AwaitWindow("frmKey");
  camera.Shoot(keypad, QStringLiteral("frmkey"));
  keypad.close();

  Trigger(settings, "mnuManual");
  QWidget& manual = AwaitWindow("HelpWindow");
  camera.Shoot(manual, QStringLiteral("manual"));
  manual.close();
}

// The IP address tool on the emulated unit's line: the port, then an address
// set and the one the unit reports.
void ShootIpToolRun(Camera& camera) {
  koral::ui::DesktopProgram program;
  program.Start();
  QWidget& selector = AwaitWindow("firstpage");
  Pick(Child<QComboBox>(selector, "cmbSelect"), QStringLiteral("IP Address Setting"));
  QWidget& ports = AwaitWindow("setIP");
  camera.Shoot(ports, QStringLiteral("setip"));
  Pick(Child<QComboBox>(ports, "cmbSelectcom"), QStringLiteral("Com1 4800,n,8,1"));
  QWidget& address = AwaitWindow("setIPAdd");
  Settle(1500);  // the present address, read a second after the window opened
  Type(Child<QPlainTextEdit>(address, "txtdisplay"), QStringLiteral("10.0.3.1"));
  Child<QPushButton>(address, "Command4").click();  // "Set_IP"
  Settle(1800);                                     // the answer is read a second later
  camera.Shoot(address, QStringLiteral("setipadd"));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KORAL"));
  QApplication::setApplicationVersion(QStringLiteral("3.09"));
  QApplication::setQuitOnLastWindowClosed(false);
  if (argc != 2) {
    std::fprintf(stderr, "usage: koral-shots OUTDIR\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "koral-shots: cannot create %s\n", argv[1]);
    return 1;
  }
  if (qEnvironmentVariableIsEmpty("KORAL_COM1")) {
    std::fprintf(stderr, "koral-shots: KORAL_COM1 must name the emulated unit's line\n");
    return 1;
  }

  MessageAnswerer answerer;
  Camera camera(folder);
  try {
    ShootNetworkRun(camera);
    ShootSerialRun(camera);
    ShootIpToolRun(camera);
  } catch (const ShotFailure& failure) {
    std::fprintf(stderr, "koral-shots: %s (%d shots written)\n", failure.what(), camera.Count());
    return 1;
  }
  std::fprintf(stderr, "koral-shots: %d shots in %s\n", camera.Count(), qPrintable(folder));
  return 0;
}
