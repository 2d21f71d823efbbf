#include "ui/ip_address_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "ui/connection_window_parts.h"

namespace koral::ui {
namespace {

// The widest address the boxes are sized for.
const QString kWidestAddress = QStringLiteral("255.255.255.255");
constexpr int kAddressLines = 2;  // the start text ends in a line end
constexpr int kTextPadding = 12;

// The model keeps the text as a Windows text box holds it, with CR LF line
// ends that count two characters; the editor has LF alone.
QString EditorText(const std::string& modelText) {
  QString text = QString::fromStdString(modelText);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.remove(QLatin1Char('\r'));  // a line end the length limit cut in half
  return text;
}

std::string ModelText(QString editorText) {
  editorText.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return editorText.toStdString();
}

}  // namespace

IpAddressWindow::IpAddressWindow(IpAddressModel& model, std::function<void()> afterAction,
                                 std::function<void()> endProgram, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      afterAction_(std::move(afterAction)),
      endProgram_(std::move(endProgram)) {
  setObjectName(QStringLiteral("setIPAdd"));
  setWindowTitle(ToQString(IpAddressModel::kCaption));
  setAccessibleName(QStringLiteral("IP address tool: address"));

  auto* prompt = new QLabel(ToQString(IpAddressModel::kPrompt), this);
  prompt->setObjectName(QStringLiteral("Label1"));
  prompt->setAccessibleName(prompt->text());

  address_ = new QPlainTextEdit(this);
  address_->setObjectName(QStringLiteral("txtdisplay"));
  address_->setAccessibleName(QStringLiteral("New IP address"));
  address_->setTabChangesFocus(true);
  address_->setLineWrapMode(QPlainTextEdit::NoWrap);
  const QFontMetrics metrics = address_->fontMetrics();
  const int frame = 2 * (address_->frameWidth() + static_cast<int>(address_->document()->documentMargin()));
  address_->setMinimumWidth(metrics.horizontalAdvance(kWidestAddress) + frame + kTextPadding);
  address_->setFixedHeight(kAddressLines * metrics.lineSpacing() + frame + kTextPadding / 2);
  prompt->setBuddy(address_);

  setIp_ = new QPushButton(ToQString(IpAddressModel::kSetIp), this);
  setIp_->setObjectName(QStringLiteral("Command4"));
  setIp_->setAccessibleName(QStringLiteral("Set the IP address"));

  auto* presentFrame = new QGroupBox(this);
  presentFrame->setObjectName(QStringLiteral("Frame1"));
  presentFrame->setAccessibleName(QStringLiteral("Present address"));
  auto* presentLabel = new QLabel(ToQString(IpAddressModel::kPresentLabel), presentFrame);
  presentLabel->setObjectName(QStringLiteral("Label3"));
  presentLabel->setAccessibleName(presentLabel->text());
  present_ = new QLabel(presentFrame);
  present_->setObjectName(QStringLiteral("txtDisp"));
  present_->setAccessibleName(QStringLiteral("IP address present"));
  present_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  present_->setMinimumWidth(present_->fontMetrics().horizontalAdvance(kWidestAddress) + kTextPadding);
  presentLabel->setBuddy(present_);
  auto* presentRow = new QHBoxLayout(presentFrame);
  presentRow->addWidget(presentLabel);
  presentRow->addWidget(present_, 1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(prompt, 0, 0, 1, 2);
  layout->addWidget(address_, 1, 0);
  layout->addWidget(setIp_, 1, 1, Qt::AlignTop);
  layout->addWidget(presentFrame, 2, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  setTabOrder(address_, setIp_);

  connect(address_, &QPlainTextEdit::textChanged, this, &IpAddressWindow::AddressEdited);
  connect(setIp_, &QPushButton::clicked, this, &IpAddressWindow::SetIp);
  auto* closeShortcut = new QShortcut(QKeySequence::Close, this);
  connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);
  {
    const QSignalBlocker blocker(address_);
    address_->setPlainText(EditorText(model_.AddressText()));
  }
  ShowModel();
}

void IpAddressWindow::ShowModel() {
  const QString present = QString::fromStdString(model_.PresentAddress());
  if (present_->text() != present) present_->setText(present);
  const QString text = EditorText(model_.AddressText());
  if (address_->toPlainText() == text) return;
  // The model cut the text short: the editor shows what it kept, the cursor
  // where it was as far as the text still reaches.
  const int cursorAt = std::min(address_->textCursor().position(), static_cast<int>(text.size()));
  const QSignalBlocker blocker(address_);
  address_->setPlainText(text);
  QTextCursor cursor = address_->textCursor();
  cursor.setPosition(cursorAt);
  address_->setTextCursor(cursor);
}

bool IpAddressWindow::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::WindowActivate) {
    model_.Activate();
    AfterAction();
  }
  return handled;
}

void IpAddressWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (endProgram_) endProgram_();
}

void IpAddressWindow::AddressEdited() {
  model_.SetAddressText(ModelText(address_->toPlainText()));
  ShowModel();
}

void IpAddressWindow::SetIp() {
  model_.SetIp();
  AfterAction();
}

void IpAddressWindow::AfterAction() {
  ShowModel();
  if (afterAction_) afterAction_();
}

}  // namespace koral::ui
