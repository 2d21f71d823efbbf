#include "ui/connection_window_parts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cstddef>

namespace koral::ui {
namespace {

QRadioButton* MakeOption(const char* caption, const QString& objectName, QWidget* frame) {
  auto* button = new QRadioButton(QString::fromUtf8(caption), frame);
  button->setObjectName(objectName);
  button->setAccessibleName(QString::fromUtf8(caption));
  frame->layout()->addWidget(button);
  return button;
}

QGroupBox* MakeFrame(const char* caption, const char* objectName, QWidget* parent) {
  auto* frame = new QGroupBox(QString::fromUtf8(caption), parent);
  frame->setObjectName(QString::fromUtf8(objectName));
  frame->setAccessibleName(QString::fromUtf8(caption));
  new QVBoxLayout(frame);
  return frame;
}

std::size_t Index(UnitModel model) {
  return model == UnitModel::Qt1Rx ? 0 : 1;
}
std::size_t Index(VideoStandard video) {
  return video == VideoStandard::Ntsc ? 0 : 1;
}

}  // namespace

QComboBox* MakeList(const ListState& state, const QString& objectName, const QString& accessibleName, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(objectName);
  list->setAccessibleName(accessibleName);
  for (const std::string_view item : state.items)
    list->addItem(ToQString(item));
  ShowList(*list, state);
  return list;
}

void ShowList(QComboBox& list, const ListState& state) {
  const QSignalBlocker blocker(list);
  list.setCurrentIndex(state.position.value_or(-1));
  list.setEnabled(state.enabled);
  list.setVisible(state.visible);
}

UnitOptionFrames::UnitOptionFrames(UnitOptionButtons& options, QWidget* parent) : QWidget(parent), options_(options) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);

  QGroupBox* system = MakeFrame("System", "Frame2", this);
  module_[0] = MakeOption(UnitModelName(UnitModel::Qt1Rx), QStringLiteral("optModule0"), system);
  module_[1] = MakeOption(UnitModelName(UnitModel::QtMx), QStringLiteral("optModule1"), system);
  layout->addWidget(system);

  QGroupBox* setting = MakeFrame("Setting", "Frame1", this);
  video_[0] = MakeOption(VideoStandardName(VideoStandard::Ntsc), QStringLiteral("optNTSC0"), setting);
  video_[1] = MakeOption(VideoStandardName(VideoStandard::Pal), QStringLiteral("optNTSC1"), setting);
  layout->addWidget(setting);

  // Only the button turned on reports: the one turned off is the same choice.
  const auto chooseModel = [this](UnitModel model) {
    return [this, model](bool checked) {
      if (checked) options_.ChooseModel(model);
    };
  };
  const auto chooseVideo = [this](VideoStandard video) {
    return [this, video](bool checked) {
      if (checked) options_.ChooseVideo(video);
    };
  };
  connect(module_[0], &QRadioButton::toggled, this, chooseModel(UnitModel::Qt1Rx));
  connect(module_[1], &QRadioButton::toggled, this, chooseModel(UnitModel::QtMx));
  connect(video_[0], &QRadioButton::toggled, this, chooseVideo(VideoStandard::Ntsc));
  connect(video_[1], &QRadioButton::toggled, this, chooseVideo(VideoStandard::Pal));

  setTabOrder(module_[0], module_[1]);
  setTabOrder(module_[1], video_[0]);
  setTabOrder(video_[0], video_[1]);
  ShowOptions();
}

QWidget* UnitOptionFrames::LastInTabOrder() const {
  return video_[1];
}

void UnitOptionFrames::ShowOptions() {
  const QSignalBlocker blockers[] = {QSignalBlocker(module_[0]), QSignalBlocker(module_[1]), QSignalBlocker(video_[0]),
                                     QSignalBlocker(video_[1])};
  module_[Index(options_.Model())]->setChecked(true);
  video_[Index(options_.Video())]->setChecked(true);
}

}  // namespace koral::ui
