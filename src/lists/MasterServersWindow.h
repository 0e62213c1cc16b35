#pragma once
// "master servers": where "refresh from master servers" asks for the
// internet list, which games it fetches, and whether it runs at start. The
// settings live in tarvix.ini; "OK" stores them, Escape and "Cancel" leave
// them as they were.
#include <QDialog>
#include <memory>

namespace tarvix {

class MasterServersWindow : public QDialog {
  Q_OBJECT

 public:
  explicit MasterServersWindow(QWidget* parent = nullptr);
  ~MasterServersWindow() override;

  // "OK": stores the settings and hides the window, unless a master line is
  // not an address or no game is chosen (then a box says why and nothing is
  // stored).
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The stored settings into the window.
  void load();
  void restoreDefaultMasters();

  struct Ui;
  std::unique_ptr<Ui> ui_;
};

}  // namespace tarvix
