#pragma once
// "quick add": adds a server known by its address to the current list,
// named by the server's own status reply.
#include <QWidget>
#include <string>

#include "protocol/UdpClient.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvix {

class QuickAddDialog : public QWidget {
  Q_OBJECT

 public:
  explicit QuickAddDialog(QWidget* parent = nullptr);

  QLineEdit* LabeledEdit2 = nullptr;  // IP
  QLineEdit* LabeledEdit3 = nullptr;  // Port
  QPushButton* Button1 = nullptr;     // add server
  QLineEdit* LabeledEdit1 = nullptr;  // Name (hidden)
  QPushButton* Button2 = nullptr;     // receive server name (hidden)

  // The window's own UDP client for the name query.
  UdpClient IdUDPClient1;

  void FormShow();
  // Leaving the IP field or Enter in it: "ip:port" is split at the first colon.
  void LabeledEdit2Exit();
  // The name query.
  void Button2Click();
  // "add server".
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Names the server by its reply (or, if the user agrees, as unnamed) and
  // appends it to the current list and the server view.
  void addServer();

  bool busy_ = false;
};

// "Unnamed Server @ " + time (long format) + " - " + date (short format).
QString unnamedServerName();

}  // namespace tarvix
