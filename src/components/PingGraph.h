#pragma once
// A paint box whose drawing persists: lines go onto a canvas of the box's
// size that is painted on every repaint, with a pen position kept between
// calls.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace tarvix {

class PingGraph : public QWidget {
  Q_OBJECT

 public:
  PingGraph(int width, int height, QWidget* parent = nullptr);

  // Fills the canvas with the background colour.
  void clear();
  void moveTo(int x, int y);
  // A line of width 1 from the pen position to (x, y), which becomes the pen
  // position.
  void lineTo(int x, int y, const QColor& colour);
  QPoint penPos() const { return pen_; }
  const QImage& canvas() const { return canvas_; }
  QColor background() const { return background_; }

 signals:
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QImage canvas_;
  QPoint pen_;
  QColor background_;
};

}  // namespace tarvix
