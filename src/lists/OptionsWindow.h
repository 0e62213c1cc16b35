#pragma once
// "Options": the player settings, the reply time-out, the clan-tag switch,
// and the server lists (select, delete, export, import). Every hide writes
// Config.
#include <QWidget>
#include <string>

#include "components/LinkLabel.h"
#include "store/Config.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QTreeWidget;

namespace tarvix {

class MainWindow;

class OptionsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit OptionsWindow(QWidget* parent = nullptr);
  ~OptionsWindow() override;

  QGroupBox* GroupBox1 = nullptr;  // "Options"
  QGroupBox* GroupBox2 = nullptr;  // "Server lists"
  QCheckBox* CheckBox2 = nullptr;  // Check for clantags
  QLabel* Label3 = nullptr;        // choose your speed
  QSlider* TrackBar1 = nullptr;
  QLabel* Label1 = nullptr;  // fast
  QLabel* Label2 = nullptr;  // slow
  QLineEdit* LabeledEdit1 = nullptr;  // Nickname
  QLineEdit* LabeledEdit2 = nullptr;  // Password
  QLineEdit* LabeledEdit3 = nullptr;  // MoH:AA path
  QLineEdit* LabeledEdit4 = nullptr;  // Spearhead path
  QPushButton* Button3 = nullptr;     // "..." for MoH:AA
  QPushButton* Button6 = nullptr;     // "..." for Spearhead
  LinkLabel* Legacy2 = nullptr;         // link to the home page
  QPushButton* Button4 = nullptr;     // About
  QTreeWidget* ListView1 = nullptr;   // server lists
  QPushButton* Button7 = nullptr;     // Import SSLF
  QPushButton* Button5 = nullptr;     // Import ASE
  QCheckBox* CheckBox3 = nullptr;     // Enable save scan (hidden)
  QCheckBox* CheckBox1 = nullptr;     // Enable auto scan (hidden)
  QMenu* PopupMenu1 = nullptr;
  QAction* deletelist1 = nullptr;
  QAction* selectlist1 = nullptr;
  QAction* exportasSSLF1 = nullptr;

  // The caption of a labeled edit.
  QLabel* editLabel(QLineEdit* edit) const;

  // Handlers.
  void FormShow();
  void FormHide();
  void TrackBar1Change();
  void CheckBox1Click();
  void CheckBox2Click();
  void CheckBox3Click();
  void Button3Click();
  void Button6Click();
  void Button4Click();
  void Button5Click();  // Import ASE
  void Button7Click();  // Import SSLF
  void selectlist1Click();  // also the list view's double-click
  void deletelist1Click();
  void exportasSSLF1Click();

  // Config as this window and the main window's settings make it.
  Config configFromWindow() const;
  // The selected list's name; empty when no list is selected.
  std::string selectedList() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void hideAndShowAgain();
  void pickExecutable(QLineEdit* field);
  void appendRows(MainWindow* f, const std::vector<std::string>& names, bool progress,
                  bool showAfterFirst);
};

}  // namespace tarvix
