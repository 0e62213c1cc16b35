#pragma once
// Moves the application into the desktop's notification area while it is
// minimised: minimising adds the icon and hides the window's task bar entry,
// a double-click on the icon restores the window and removes the icon, a
// right-click opens the popup menu.
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>
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

  bool Enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  // An empty icon means the application's own icon.
  const QIcon& Icon() const { return icon_; }
  void setIcon(const QIcon& icon);
  const QString& Hint() const { return hint_; }
  void setHint(const QString& hint);
  QMenu* PopupMenu() const { return popupMenu_; }
  void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }

  // Defaults: OnDblClick restores the application, OnRightClick opens the
  // popup menu. An assigned handler replaces the default.
  TrayEvent OnDblClick;
  TrayEvent OnLeftClick;
  TrayEvent OnRightClick;

  // Whether the icon is in the notification area.
  bool IconShown() const { return shown_; }
  // Removes the icon at shutdown.
  void RemoveIcon();
  // The tool tip given to the notification area (the hint cut to 63 characters).
  QString Tip() const;
  // The platform icon, for tests that deliver mouse notifications.
  QSystemTrayIcon* trayIcon() const { return tray_; }
  // The menu's source component while a popup opened by this tray is up.
  static TrayIcon* PopupComponent(const QMenu* menu);

  virtual void AppMinimize();
  virtual void AppRestore();
  virtual void DoDblClick();
  virtual void DoLeftClick();
  virtual void DoRightClick();

  // Asks the application to restore itself (runs AppRestore).
  void RestoreApplication();
  // Opens the popup menu at the mouse position.
  void OpenPopupMenu();

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
};

}  // namespace tarvix
