#pragma once
// "watches": the watches of "tell me when...", one a line, where the player
// removes them, and how long "join when a slot frees" waits.
#include <QStringList>
#include <QWidget>
#include <memory>

namespace tarvix {

class WatchesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit WatchesWindow(QWidget* parent = nullptr);
  ~WatchesWindow() override;

  void showWatches(const QStringList& texts);

 signals:
  // "remove" on the watch at `index` of the list shown.
  void removeRequested(int index);

 private:
  struct Ui;
  std::unique_ptr<Ui> ui_;
};

}  // namespace tarvix
