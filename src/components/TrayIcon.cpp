#include "components/TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace tarvix {

namespace {

// The tray registered for the application's minimise and restore.
QPointer<TrayIcon> registered;

constexpr int kMaxTipLength = 63;
constexpr char kPopupOwner[] = "TrayPopupMenu";

}  // namespace

TrayIcon::TrayIcon(QWidget* window) : QObject(window), window_(window) {
  tray_ = new QSystemTrayIcon(this);
  onDoubleClick = [this](QObject*) { restoreApplication(); };
  onRightClick = [this](QObject*) { openPopupMenu(); };
  connect(tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (!enabled_) return;
            switch (reason) {
              case QSystemTrayIcon::Trigger:
                handleLeftClick();
                break;
              case QSystemTrayIcon::DoubleClick:
                handleDoubleClick();
                break;
              case QSystemTrayIcon::Context:
                handleRightClick();
                break;
              default:
                break;
            }
          });
  if (window_) window_->installEventFilter(this);
  registered = this;
}

TrayIcon::~TrayIcon() {
  if (registered == this) registered = nullptr;
  if (shown_) tray_->hide();
}

bool TrayIcon::trayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (!window_ || !window_->isMinimized()) return;
  if (enabled) {
    addIcon();
    hideTaskbarEntry();
  } else {
    deleteIcon();
    showTaskbarEntry();
  }
}

void TrayIcon::setIcon(const QIcon& icon) {
  if (icon.cacheKey() == icon_.cacheKey()) return;
  icon_ = icon;
  if (enabled_ && shown_) updateIcon();
}

void TrayIcon::setHint(const QString& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (enabled_ && shown_) updateIcon();
}

QString TrayIcon::tip() const { return tray_->toolTip(); }

TrayIcon* TrayIcon::popupOwner(const QMenu* menu) {
  return menu ? qobject_cast<TrayIcon*>(menu->property(kPopupOwner).value<QObject*>()) : nullptr;
}

void TrayIcon::removeIcon() { deleteIcon(); }

bool TrayIcon::showNotification(const QString& title, const QString& text) {
  constexpr int kShownMs = 10000;
  lastNotification_ = title + "\n" + text;
  if (!trayAvailable()) return false;
  if (!tray_->isVisible()) {
    updateIcon();
    tray_->show();
    QTimer::singleShot(kShownMs + 1000, this, [this] {
      if (!shown_) tray_->hide();
    });
  }
  tray_->showMessage(title, text, QSystemTrayIcon::Information, kShownMs);
  return true;
}

void TrayIcon::minimiseToTray() {
  if (!enabled_ || shown_) return;
  addIcon();
  hideTaskbarEntry();
}

void TrayIcon::restoreFromTray() {
  if (!enabled_ || !shown_) return;
  showTaskbarEntry();
  if (window_) {
    window_->raise();
    window_->activateWindow();
  }
  deleteIcon();
}

void TrayIcon::handleDoubleClick() {
  if (onDoubleClick) onDoubleClick(this);
}

void TrayIcon::handleLeftClick() {
  if (onLeftClick) onLeftClick(this);
}

void TrayIcon::handleRightClick() {
  if (onRightClick) onRightClick(this);
}

void TrayIcon::restoreApplication() {
  if (!window_) return;
  // The state change reaches restoreFromTray() through the event filter.
  window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
}

void TrayIcon::openPopupMenu() {
  if (!popupMenu_) return;
  const QPoint at = QCursor::pos();
  popupMenu_->setProperty(kPopupOwner, QVariant::fromValue<QObject*>(this));
  popupMenu_->popup(at);
}

void TrayIcon::addIcon() {
  updateIcon();
  // A failed add (no notification area) still counts the icon as shown.
  if (trayAvailable()) tray_->show();
  shown_ = true;
}

void TrayIcon::deleteIcon() {
  if (!shown_) return;
  tray_->hide();
  shown_ = false;
}

void TrayIcon::updateIcon() {
  tray_->setToolTip(hint_.left(kMaxTipLength));
  tray_->setIcon(icon_.isNull() ? QApplication::windowIcon() : icon_);
}

void TrayIcon::hideTaskbarEntry() {
  // Without a notification area the window keeps its entry: hiding it would
  // leave no way back.
  if (window_ && trayAvailable()) window_->hide();
}

void TrayIcon::showTaskbarEntry() {
  if (!window_ || window_->isVisible()) return;
  // Coming back from the notification area is not a new showing of the
  // window: its show handler does not run.
  restoring_ = true;
  window_->show();
  restoring_ = false;
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || registered != this) return false;
  if (event->type() == QEvent::WindowStateChange) {
    const auto* e = static_cast<QWindowStateChangeEvent*>(event);
    const bool was = e->oldState() & Qt::WindowMinimized;
    const bool now = window_->windowState() & Qt::WindowMinimized;
    if (!was && now)
      minimiseToTray();
    else if (was && !now)
      restoreFromTray();
  } else if (event->type() == QEvent::Show && restoring_) {
    return true;
  }
  return false;
}

}  // namespace tarvix
