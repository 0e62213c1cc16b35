#pragma once
// "direct connect": checks that a server answers and starts the game on it
// without adding it to any list.
#include <QWidget>
#include <memory>
#include <string>

#include "components/Background.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvix {

class Settings;

class DirectConnectDialog : public QWidget {
  Q_OBJECT

 public:
  explicit DirectConnectDialog(Settings& settings, QWidget* parent = nullptr);
  ~DirectConnectDialog() override;

  // "connect" is waiting for the server's reply.
  bool busy() const { return busy_; }

 signals:
  // The current server was replaced by the typed one.
  void serverChosen();
  // The server's reply names its edition.
  void editionFound(const QString& edition);
  // The server answered: the game is to be started on it.
  void connectRequested();

 private:
  // The controls, defined in the .cpp: no other file sees them.
  struct Ui;

  // Leaving the IP field: blanks removed, "ip:port" split at the first colon.
  void tidyAddress();
  // "connect": the typed server becomes the current one and is asked for its
  // status in the background; the game starts when it answers.
  void connectToServer();
  // The check's reply: starts the game when the server answered.
  void connectIfAnswered(const std::string& reply);

  Settings& settings_;
  std::unique_ptr<Ui> ui_;
  bool busy_ = false;
  BackgroundTask query_;
};

}  // namespace tarvix
