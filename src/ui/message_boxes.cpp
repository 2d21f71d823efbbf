#include "ui/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::StandardButton Ask(QWidget* parent, std::string_view title, std::string_view text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                                QMessageBox::Icon icon = QMessageBox::NoIcon) {
  QMessageBox box(icon, ToQString(title), ToQString(text), buttons, parent);
  box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void ShowMessage(QWidget* parent, std::string_view title, std::string_view text) {
  Ask(parent, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowInformation(QWidget* parent, std::string_view title, std::string_view text) {
  Ask(parent, title, text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Information);
}

bool AskOkCancel(QWidget* parent, std::string_view title, std::string_view text) {
  return Ask(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

bool AskYesNo(QWidget* parent, std::string_view title, std::string_view text) {
  return Ask(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

MessageAnswer AskYesNoCancel(QWidget* parent, std::string_view title, std::string_view text) {
  switch (Ask(parent, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return MessageAnswer::Cancel;
  }
}

bool AskRetryCancel(QWidget* parent, std::string_view title, std::string_view text) {
  return Ask(parent, title, text, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry) == QMessageBox::Retry;
}

MessageAnswer AskCancelTryAgainContinue(QWidget* parent, std::string_view title, std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::NoButton, parent);
  // The button box orders buttons by role, and each platform puts the reject
  // role elsewhere; one role for all three keeps the order as added. Escape
  // and the close box still mean Cancel through the escape button.
  QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
  QPushButton* tryAgain = box.addButton(QStringLiteral("&Try Again"), QMessageBox::ActionRole);
  QPushButton* continueButton = box.addButton(QStringLiteral("&Continue"), QMessageBox::ActionRole);
  box.setEscapeButton(cancel);
  box.setDefaultButton(cancel);
  box.exec();
  if (box.clickedButton() == tryAgain) return MessageAnswer::TryAgain;
  if (box.clickedButton() == continueButton) return MessageAnswer::Continue;
  return MessageAnswer::Cancel;
}
