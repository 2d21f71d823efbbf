#include "ui/startup_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>
#include <utility>

#include "ui/connection_window_parts.h"

namespace koral::ui {

StartupWindow::StartupWindow(StartupSelectorModel& model, ChoiceHandler onChoice, EndHandler onEnd, QWidget* parent)
    : QWidget(parent), model_(model), onChoice_(std::move(onChoice)), onEnd_(std::move(onEnd)) {
  setObjectName(QStringLiteral("firstpage"));
  setWindowTitle(ToQString(StartupSelectorModel::kCaption));
  setAccessibleName(ToQString(StartupSelectorModel::kCaption));

  auto* prompt = new QLabel(ToQString(StartupSelectorModel::kPrompt), this);
  prompt->setObjectName(QStringLiteral("Label31"));
  prompt->setAccessibleName(prompt->text());
  select_ = MakeList(model_.Entries(), QStringLiteral("cmbSelect"), QStringLiteral("Software"), this);
  prompt->setBuddy(select_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(select_);
  setFocusProxy(select_);

  connect(select_, &QComboBox::activated, this, &StartupWindow::Choose);
}

void StartupWindow::Choose(int position) {
  const std::optional<StartupChoice> choice = model_.Choose(position);
  ShowList(*select_, model_.Entries());
  if (!choice) return;
  if (onChoice_) onChoice_(*choice);
  hide();
}

void StartupWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (model_.CloseEndsProgram() && onEnd_) onEnd_();
}

}  // namespace koral::ui
