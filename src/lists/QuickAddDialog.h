#pragma once
// "quick add": adds a server known by its address to the current list,
// named by the server's own status reply.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "components/Background.h"

class QLineEdit;
class QPushButton;

namespace tarvix {

class ScanState;
class Settings;

class QuickAddDialog : public QWidget {
  Q_OBJECT

 public:
  QuickAddDialog(Settings& settings, const ScanState& scan, QWidget* parent = nullptr);
  ~QuickAddDialog() override;

  // An "add server" is waiting for the server's reply.
  bool busy() const { return busy_; }

 signals:
  // `name` was appended to the current list: the main window shows its row.
  void serverAdded(const std::string& name);
  // A text for the main window's status bar.
  void statusMessage(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The controls, defined in the .cpp: no other file sees them.
  struct Ui;

  // Showing: the add button reads "add server".
  void resetAddCaption();
  // Leaving the IP field or Enter in it: "ip:port" is split at the first colon.
  void splitAddress();
  // The name query: the name field gets the name the server's reply gives.
  void receiveServerName();
  // "add server": asks the server for its name in the background, then adds
  // it; the window hides when done.
  void addToList();
  // Starts the name query; `then` runs once the reply was shown. False when
  // the address is incomplete.
  bool startNameQuery(std::function<void()> then);
  // Names the server by its reply (or, if the user agrees, as unnamed) and
  // appends it to the current list and the server view.
  void appendNamedServer();
  void finishAdding();
  // The address names a server (an IPv4 address or a host name, and a
  // port); otherwise says why and puts the cursor in the wrong field.
  bool addressAccepted();

  Settings& settings_;
  const ScanState& scan_;
  std::unique_ptr<Ui> ui_;
  bool busy_ = false;
  BackgroundTask nameQuery_;
};

// "Unnamed Server @ " + time (long format) + " - " + date (short format).
QString unnamedServerName();

}  // namespace tarvix
