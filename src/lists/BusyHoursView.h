#pragma once
// The hours of the week when a server is busy: 7 rows of 24 cells, darker
// the fuller the server was on average; the cell under the mouse is told in
// a tooltip. Sized from the font, so it reads at any text scale.
#include <QWidget>

#include "app/core/HistoryDigest.h"

namespace tarvix {

class BusyHoursView : public QWidget {
 public:
  explicit BusyHoursView(QWidget* parent = nullptr);
  // `maxPlayers`: what a full server holds, the darkest cell.
  void showHours(const BusyHours& hours, int maxPlayers);
  // What the tooltip says of a cell.
  QString cellText(int day, int hour) const;
  // The cell's rectangle in the widget.
  QRect cellRect(int day, int hour) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int labelWidth() const;
  int labelHeight() const;
  BusyHours hours_{};
  int maxPlayers_ = 0;
};

}  // namespace tarvix
