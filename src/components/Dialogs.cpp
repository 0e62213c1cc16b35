#include "components/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace tarvix {

namespace {

QWidget* parentWindow() { return QApplication::activeWindow(); }

class QtDialogs final : public Dialogs {
 public:
  void showMessage(const QString& text) override {
    QMessageBox::information(parentWindow(), QApplication::applicationName(), text);
  }
  void showError(const QString& text) override {
    QMessageBox::critical(parentWindow(), QApplication::applicationName(), text);
  }
  bool confirm(const QString& text) override {
    return QMessageBox::question(parentWindow(), QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  }
  QString openFile(const QString& filter, const QString& defaultSuffix) override {
    QFileDialog d(parentWindow(), QString(), QDir::currentPath(), filter);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    if (!defaultSuffix.isEmpty()) d.setDefaultSuffix(defaultSuffix);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first()
                                                                          : QString();
  }
  QString saveFile(const QString& filter, const QString& presetName) override {
    QFileDialog d(parentWindow(), QString(), QDir::currentPath(), filter);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.selectFile(presetName);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first()
                                                                          : QString();
  }
};

QtDialogs qtDialogs;
Dialogs* current = nullptr;

}  // namespace

Dialogs& dialogs() { return current ? *current : static_cast<Dialogs&>(qtDialogs); }

void setDialogs(Dialogs* d) { current = d; }

QString openFileKeepingDirectory(const QString& filter, const QString& defaultSuffix) {
  const QString dir = QDir::currentPath();
  QString chosen = dialogs().openFile(filter, defaultSuffix);
  QDir::setCurrent(dir);
  return chosen;
}

QString saveFileKeepingDirectory(const QString& filter, const QString& presetName) {
  const QString dir = QDir::currentPath();
  QString chosen = dialogs().saveFile(filter, presetName);
  QDir::setCurrent(dir);
  return chosen;
}

}  // namespace tarvix
