#pragma once
// Every message box, confirmation and file dialog goes through Dialogs, so
// tests can install a scripted implementation and never block on a modal box.
// Each call names the window that asks: the box opens above that window (an
// always-on-top window would otherwise hide it) and is modal to it.
#include <QString>
#include <QStringList>
#include <exception>
#include <utility>

#include "components/QtText.h"

class QWidget;

namespace tarvix {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // `parent` is the asking window; nullptr: the box opens above the active
  // window.
  // A message box with an OK button.
  virtual void showMessage(QWidget* parent, const QString& text) = 0;
  // An error box, for file errors and conversion errors.
  virtual void showError(QWidget* parent, const QString& text) = 0;
  // A Yes/No confirmation; true only for Yes.
  virtual bool confirm(QWidget* parent, const QString& text) = 0;
  // File dialogs; an empty result means Cancel.
  virtual QString openFile(QWidget* parent, const QString& filter,
                           const QString& defaultSuffix = {}) = 0;
  virtual QString saveFile(QWidget* parent, const QString& filter, const QString& presetName) = 0;
  // A choice of one of `items` under `text`; an empty result means Cancel.
  virtual QString chooseItem(QWidget* parent, const QString& text, const QStringList& items) = 0;
};

// The installed implementation (Qt's boxes unless a test installed another).
Dialogs& dialogs();
// Installs `d` (not owned); nullptr restores Qt's boxes.
void setDialogs(Dialogs* d);

// The folder a file dialog opens in: the one the user last chose a file in
// (kept in tarvix.ini), the home folder at first; never the data folder
// unless the user chose a file there.
QString fileDialogFolder();

// Runs a file dialog and puts the current directory back afterwards, so a
// dialog that browsed elsewhere never moves the data folder. A chosen file's
// folder becomes fileDialogFolder().
QString openFileKeepingDirectory(QWidget* parent, const QString& filter,
                                 const QString& defaultSuffix = {});
QString saveFileKeepingDirectory(QWidget* parent, const QString& filter, const QString& presetName);

// Runs `action`; an error it throws (a file that cannot be read or written)
// is shown in an error box above `parent` instead. True when the action ran
// to its end.
template <typename Action>
bool showingErrors(QWidget* parent, Action&& action) {
  try {
    std::forward<Action>(action)();
    return true;
  } catch (const std::exception& e) {
    dialogs().showError(parent, errorText(e.what()));
    return false;
  }
}

}  // namespace tarvix
