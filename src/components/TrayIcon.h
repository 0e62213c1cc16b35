#pragma once
// Moves the application into the desktop's notification area while it is
// minimised: minimising adds the icon and hides the window's task bar entry,
// a double-click on the icon restores the window and removes the icon, a
// right-click opens the popup menu.
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QSystemTrayIcon;

namespace tarvix {

using TrayEvent = std::function<void(QObject* sender)>;

class TrayIcon : public QObject {
  Q_OBJECT

 public:
  // Registers for the minimise and restore of `window` (the application's
  // main window), replacing any earlier registration.
  explicit TrayIcon(QWidget* window);
  ~TrayIcon() override;

  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled);
  // An empty icon means the application's own icon.
  const QIcon& icon() const { return icon_; }
  void setIcon(const QIcon& icon);
  const QString& hint() const { return hint_; }
  void setHint(const QString& hint);
  QMenu* popupMenu() const { return popupMenu_; }
  void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }

  // Defaults: onDoubleClick restores the application, onRightClick opens the
  // popup menu. An assigned handler replaces the default.
  TrayEvent onDoubleClick;
  TrayEvent onLeftClick;
  TrayEvent onRightClick;

  // Whether the icon is in the notification area.
  bool iconShown() const { return shown_; }
  // Removes the icon at shutdown.
  void removeIcon();
  // The tool tip given to the notification area (the hint cut to 63 characters).
  QString tip() const;
  // The platform icon, for tests that deliver mouse notifications.
  QSystemTrayIcon* trayIcon() const { return tray_; }
  // The tray that opened the menu, while that popup is up.
  static TrayIcon* popupOwner(const QMenu* menu);

  virtual void minimiseToTray();
  virtual void restoreFromTray();
  virtual void handleDoubleClick();
  virtual void handleLeftClick();
  virtual void handleRightClick();

  // A notification beside the icon. While the window is not in the tray the
  // icon appears for the message and goes again after it. False when the
  // desktop has no notification area: nothing is shown.
  bool showNotification(const QString& title, const QString& text);
  // The last notification asked for: title, line break, text.
  const QString& lastNotification() const { return lastNotification_; }

  // Asks the application to restore itself (runs restoreFromTray()).
  void restoreApplication();
  // Opens the popup menu at the mouse position.
  void openPopupMenu();

 protected:
  // Whether the desktop has a notification area. Without one the window keeps
  // its task bar entry, so a minimised window can always be restored.
  virtual bool trayAvailable() const;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void addIcon();
  void deleteIcon();
  void updateIcon();
  void hideTaskbarEntry();
  void showTaskbarEntry();

  bool enabled_ = true;
  QIcon icon_;
  QString hint_;
  QPointer<QMenu> popupMenu_;
  bool shown_ = false;
  bool restoring_ = false;
  QPointer<QWidget> window_;
  QSystemTrayIcon* tray_ = nullptr;
  QString lastNotification_;
};

}  // namespace tarvix
