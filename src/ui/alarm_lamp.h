// One zone lamp of the alarm window (Shape1): a round lamp in the colour the
// view-model gives, growing with the window.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace koral::ui {

class AlarmLamp : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QColor colour READ colour)

 public:
  // `zone` is the letter the lamp stands for, for screen readers.
  explicit AlarmLamp(const QString& zone, QWidget* parent = nullptr);

  // The colour to paint and whether the zone is in alarm (a blinking lamp is,
  // in its dark phase too). Repaints only on a change.
  void Show(const QColor& colour, bool alarmed);
  QColor colour() const { return colour_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString zone_;
  QColor colour_;
  bool alarmed_ = false;
};

}  // namespace koral::ui
