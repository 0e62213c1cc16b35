#include "lists/ParallelScanOption.h"

#include <QCheckBox>
#include <QEvent>
#include <QWidget>

#include "components/ExtraSettings.h"

namespace tarvix {

namespace {

constexpr int kRowHeight = 24;

// Reads the stored setting each time the window is shown.
class ReloadOnShow : public QObject {
 public:
  ReloadOnShow(QCheckBox* box, QObject* parent) : QObject(parent), box_(box) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      const QSignalBlocker quiet(box_);
      box_->setChecked(ExtraSettings().parallelScan());
    }
    return false;
  }

 private:
  QCheckBox* box_;
};

}  // namespace

QCheckBox* addParallelScanOption(QWidget* window) {
  const QSize size = window->size();
  auto* box = new QCheckBox("scan servers in parallel", window);
  box->setObjectName("ParallelScanCheckBox");
  box->setToolTip("Asks many servers at once and a silent one a second time");
  box->setGeometry(16, size.height() - 2, size.width() - 32, 18);
  window->setFixedSize(size.width(), size.height() + kRowHeight);
  box->setChecked(ExtraSettings().parallelScan());
  QObject::connect(box, &QCheckBox::toggled, box, [](bool on) { ExtraSettings().setParallelScan(on); });
  window->installEventFilter(new ReloadOnShow(box, box));
  return box;
}

}  // namespace tarvix
