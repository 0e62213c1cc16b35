#include "components/PingGraph.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarvix {

PingGraph::PingGraph(int width, int height, QWidget* parent)
    : QWidget(parent), canvas_(width, height, QImage::Format_RGB32) {
  setFixedSize(width, height);
  background_ = palette().color(QPalette::Window);
  clear();
}

void PingGraph::clear() {
  canvas_.fill(background_);
  update();
}

void PingGraph::moveTo(int x, int y) { pen_ = QPoint(x, y); }

void PingGraph::lineTo(int x, int y, const QColor& colour) {
  QPainter p(&canvas_);
  p.setPen(QPen(colour, 1));
  const QPoint to(x, y);
  p.drawLine(pen_, to);
  p.drawPoint(to);
  pen_ = to;
  update();
}

void PingGraph::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, canvas_);
}

void PingGraph::mouseDoubleClickEvent(QMouseEvent* event) {
  QWidget::mouseDoubleClickEvent(event);
  emit doubleClicked();
}

}  // namespace tarvix
