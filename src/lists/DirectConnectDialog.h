#pragma once
// "direct connect": checks that a server answers and starts the game on it
// without adding it to any list.
#include <QWidget>

#include "protocol/UdpClient.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvix {

class DirectConnectDialog : public QWidget {
  Q_OBJECT

 public:
  explicit DirectConnectDialog(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;           // IP:Port
  QLineEdit* Edit1 = nullptr;         // IP
  QLineEdit* Edit2 = nullptr;         // port
  QLineEdit* LabeledEdit1 = nullptr;  // Password
  QPushButton* Button1 = nullptr;     // connect

  // The window's own UDP client for the check.
  UdpClient IdUDPClient1;

  // Leaving the IP field: blanks removed, "ip:port" split at the first colon.
  void Edit1Exit();
  // "connect".
  void Button1Click();

 private:
  bool busy_ = false;
};

}  // namespace tarvix
