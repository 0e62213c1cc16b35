#include "components/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "components/IniSettings.h"

namespace tarvix {

namespace {

// The window a box belongs to: the asking widget's window, else the active one.
QWidget* ownerOf(QWidget* parent) {
  return parent ? parent->window() : QApplication::activeWindow();
}

class QtDialogs final : public Dialogs {
 public:
  void showMessage(QWidget* parent, const QString& text) override {
    QMessageBox::information(ownerOf(parent), QApplication::applicationName(), text);
  }
  void showError(QWidget* parent, const QString& text) override {
    QMessageBox::critical(ownerOf(parent), QApplication::applicationName(), text);
  }
  bool confirm(QWidget* parent, const QString& text) override {
    return QMessageBox::question(ownerOf(parent), QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  }
  QString openFile(QWidget* parent, const QString& filter, const QString& defaultSuffix) override {
    QFileDialog d(ownerOf(parent), QString(), fileDialogFolder(), filter);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    if (!defaultSuffix.isEmpty()) d.setDefaultSuffix(defaultSuffix);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first()
                                                                         : QString();
  }
  QString saveFile(QWidget* parent, const QString& filter, const QString& presetName) override {
    QFileDialog d(ownerOf(parent), QString(), fileDialogFolder(), filter);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.selectFile(presetName);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first()
                                                                         : QString();
  }
  QString chooseItem(QWidget* parent, const QString& text, const QStringList& items) override {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(ownerOf(parent), QApplication::applicationName(),
                                                 text, items, 0, false, &ok);
    return ok ? chosen : QString();
  }
};

QtDialogs qtDialogs;
Dialogs* current = nullptr;

}  // namespace

Dialogs& dialogs() { return current ? *current : static_cast<Dialogs&>(qtDialogs); }

void setDialogs(Dialogs* d) { current = d; }

QString fileDialogFolder() {
  const QString folder = IniSettings().fileDialogFolder();
  return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

namespace {

QString rememberingFolder(const QString& dir, const QString& chosen) {
  QDir::setCurrent(dir);
  if (!chosen.isEmpty()) IniSettings().setFileDialogFolder(QFileInfo(chosen).absolutePath());
  return chosen;
}

}  // namespace

QString openFileKeepingDirectory(QWidget* parent, const QString& filter,
                                 const QString& defaultSuffix) {
  const QString dir = QDir::currentPath();
  return rememberingFolder(dir, dialogs().openFile(parent, filter, defaultSuffix));
}

QString saveFileKeepingDirectory(QWidget* parent, const QString& filter,
                                 const QString& presetName) {
  const QString dir = QDir::currentPath();
  return rememberingFolder(dir, dialogs().saveFile(parent, filter, presetName));
}

}  // namespace tarvix
