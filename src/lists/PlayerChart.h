#pragma once
// A server's players over time as a chart: the mean of each point, the
// most players seen in it and the server's maximum; the point under the
// mouse is told in a tooltip.
#include <QChartView>
#include <QString>
#include <cstdint>
#include <vector>

#include "store/History.h"

namespace tarvix {

class PlayerChart : public QChartView {
 public:
  explicit PlayerChart(QWidget* parent = nullptr);
  // Shows the points from `from` to `to` (seconds since the epoch).
  void showPoints(const std::vector<HistoryPoint>& points, std::int64_t from, std::int64_t to);
  // What the tooltip says of the point nearest to `time`; empty without points.
  QString pointText(std::int64_t time) const;

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::vector<HistoryPoint> shown_;
};

}  // namespace tarvix
