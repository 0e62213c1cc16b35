#include "lists/BusyHoursView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace tarvix {

namespace {

const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

}  // namespace

BusyHoursView::BusyHoursView(QWidget* parent) : QWidget(parent) {
  setObjectName("BusyHoursView");
  setMouseTracking(true);
  for (auto& day : hours_) day.fill(-1);
}

void BusyHoursView::showHours(const BusyHours& hours, int maxPlayers) {
  hours_ = hours;
  maxPlayers_ = maxPlayers;
  update();
}

int BusyHoursView::labelWidth() const { return fontMetrics().horizontalAdvance("Wed") + 6; }
int BusyHoursView::labelHeight() const { return fontMetrics().height() + 2; }

QSize BusyHoursView::sizeHint() const {
  const int cell = fontMetrics().horizontalAdvance("00") + 4;
  return {labelWidth() + 24 * cell, labelHeight() + 7 * fontMetrics().height()};
}

QRect BusyHoursView::cellRect(int day, int hour) const {
  const double w = (width() - labelWidth()) / 24.0;
  const double h = (height() - labelHeight()) / 7.0;
  const int left = labelWidth() + static_cast<int>(hour * w);
  const int top = labelHeight() + static_cast<int>(day * h);
  return QRect(left, top, labelWidth() + static_cast<int>((hour + 1) * w) - left,
               labelHeight() + static_cast<int>((day + 1) * h) - top);
}

QString BusyHoursView::cellText(int day, int hour) const {
  const QString when = QStringLiteral("%1 %2:00 to %3:00")
                           .arg(QLatin1String(kDays[day]))
                           .arg(hour, 2, 10, QChar('0'))
                           .arg((hour + 1) % 24, 2, 10, QChar('0'));
  const double mean = hours_[day][hour];
  if (mean < 0) return when + QStringLiteral(": not seen");
  return when + QStringLiteral(": %1 players on average").arg(mean, 0, 'f', 1);
}

void BusyHoursView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  for (int hour = 0; hour < 24; hour += 3)
    p.drawText(cellRect(0, hour).left(), 0, 40, labelHeight(), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(hour));
  for (int day = 0; day < 7; ++day) {
    const QRect row = cellRect(day, 0);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(0, row.top(), labelWidth(), row.height(), Qt::AlignLeft | Qt::AlignVCenter,
               kDays[day]);
    for (int hour = 0; hour < 24; ++hour) {
      const QRect cell = cellRect(day, hour).adjusted(0, 0, -1, -1);
      const double mean = hours_[day][hour];
      if (mean < 0) {
        p.fillRect(cell, palette().color(QPalette::Window).darker(104));
        continue;
      }
      const double full = maxPlayers_ > 0 ? std::clamp(mean / maxPlayers_, 0.0, 1.0) : 0;
      // From a pale blue for an empty server to a deep one for a full one.
      p.fillRect(cell, QColor::fromHsvF(0.6, 0.08 + 0.85 * full, 1.0 - 0.6 * full));
    }
  }
}

void BusyHoursView::mouseMoveEvent(QMouseEvent* event) {
  for (int day = 0; day < 7; ++day)
    for (int hour = 0; hour < 24; ++hour)
      if (cellRect(day, hour).contains(event->pos())) {
        QToolTip::showText(event->globalPosition().toPoint(), cellText(day, hour), this);
        return;
      }
  QToolTip::hideText();
}

}  // namespace tarvix
