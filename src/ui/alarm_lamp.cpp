#include "ui/alarm_lamp.h"

#include <QPainter>
#include <QSizePolicy>
#include <algorithm>

namespace koral::ui {
namespace {

constexpr int kPreferredDiameter = 40;
constexpr int kSmallestDiameter = 20;
constexpr double kFill = 0.86;   // of the smaller side: the rest is the lamp's margin
constexpr int kRimDarker = 250;  // percent: the rim a quarter of the fill's brightness

QString Describe(const QString& zone, bool alarmed) {
  return QStringLiteral("Zone %1: %2").arg(zone, alarmed ? QStringLiteral("alarm") : QStringLiteral("no alarm"));
}

}  // namespace

AlarmLamp::AlarmLamp(const QString& zone, QWidget* parent) : QWidget(parent), zone_(zone) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAccessibleName(Describe(zone_, alarmed_));
  setToolTip(accessibleName());
}

void AlarmLamp::Show(const QColor& colour, bool alarmed) {
  if (alarmed != alarmed_) {
    // The name follows the alarm, not the blink, so a screen reader is not
    // told every 100 ms.
    alarmed_ = alarmed;
    setAccessibleName(Describe(zone_, alarmed_));
    setToolTip(accessibleName());
  }
  if (colour != colour_) {
    colour_ = colour;
    update();
  }
}

QSize AlarmLamp::sizeHint() const {
  return {kPreferredDiameter, kPreferredDiameter};
}

QSize AlarmLamp::minimumSizeHint() const {
  return {kSmallestDiameter, kSmallestDiameter};
}

void AlarmLamp::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const double diameter = std::min(width(), height()) * kFill;
  QRectF lamp(0, 0, diameter, diameter);
  lamp.moveCenter(QRectF(rect()).center());
  painter.setPen(QPen(colour_.darker(kRimDarker), 1.0));
  painter.setBrush(colour_);
  painter.drawEllipse(lamp);
}

}  // namespace koral::ui
