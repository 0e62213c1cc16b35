#include "lists/PlayerChart.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QMouseEvent>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>

#include "app/core/HistoryText.h"
#include "components/QtText.h"

namespace tarvix {

namespace {

qreal msecs(std::int64_t time) { return static_cast<qreal>(time) * 1000.0; }

}  // namespace

PlayerChart::PlayerChart(QWidget* parent) : QChartView(parent) {
  setObjectName("PlayerChart");
  setRenderHint(QPainter::Antialiasing);
  setMouseTracking(true);
  chart()->legend()->setAlignment(Qt::AlignBottom);
  chart()->setMargins(QMargins(2, 2, 2, 2));
}

void PlayerChart::showPoints(const std::vector<HistoryPoint>& points, std::int64_t from,
                             std::int64_t to) {
  shown_.clear();
  QChart* c = chart();
  c->removeAllSeries();
  for (QAbstractAxis* axis : c->axes()) {
    c->removeAxis(axis);
    delete axis;
  }
  auto* mean = new QLineSeries;
  mean->setName("players");
  auto* most = new QLineSeries;
  most->setName("most");
  auto* maximum = new QLineSeries;
  maximum->setName("maximum");
  int top = 1;
  for (const HistoryPoint& p : points) {
    if (p.time + p.span < from || p.time > to) continue;
    const qreal x = msecs(p.time + p.span / 2);
    mean->append(x, p.mean);
    most->append(x, p.high);
    maximum->append(x, p.maxPlayers);
    top = std::max({top, p.high, p.maxPlayers});
    shown_.push_back(p);
  }
  most->setPen(QPen(QColor(230, 120, 40), 1, Qt::DotLine));
  maximum->setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
  mean->setPen(QPen(QColor(30, 90, 200), 2));
  auto* time = new QDateTimeAxis;
  time->setFormat(to - from > 2 * 86400 ? "dd.MM." : "HH:mm");
  time->setRange(QDateTime::fromSecsSinceEpoch(from), QDateTime::fromSecsSinceEpoch(to));
  auto* players = new QValueAxis;
  players->setRange(0, top + 1);
  players->setLabelFormat("%d");
  c->addAxis(time, Qt::AlignBottom);
  c->addAxis(players, Qt::AlignLeft);
  for (QLineSeries* s : {maximum, most, mean}) {
    c->addSeries(s);
    s->attachAxis(time);
    s->attachAxis(players);
  }
}

QString PlayerChart::pointText(std::int64_t time) const {
  if (shown_.empty()) return {};
  auto nearer = [time](const HistoryPoint& a, const HistoryPoint& b) {
    return std::llabs(a.time + a.span / 2 - time) < std::llabs(b.time + b.span / 2 - time);
  };
  const HistoryPoint& p = *std::min_element(shown_.begin(), shown_.end(), nearer);
  QString text = toQString(localTimeText(p.time));
  if (p.span == 0)
    text += QStringLiteral(": %1 of %2 players").arg(p.high).arg(p.maxPlayers);
  else
    text += QStringLiteral(" (%1): %2 players on average, %3 to %4, of %5")
                .arg(toQString(spanText(p.span)))
                .arg(p.mean, 0, 'f', 1)
                .arg(p.low)
                .arg(p.high)
                .arg(p.maxPlayers);
  return text + QStringLiteral(", ") + toQString(p.map);
}

void PlayerChart::mouseMoveEvent(QMouseEvent* event) {
  QChartView::mouseMoveEvent(event);
  const QPointF value = chart()->mapToValue(chart()->mapFromScene(mapToScene(event->pos())));
  const QString text = pointText(static_cast<std::int64_t>(value.x() / 1000.0));
  if (text.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

}  // namespace tarvix
