#pragma once
// Scripted message boxes and file dialogs for window tests: records every
// text shown and answers from queues; never blocks.
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "components/Dialogs.h"

namespace tarvix::test {

class ScriptedDialogs : public Dialogs {
 public:
  ScriptedDialogs() { setDialogs(this); }
  ~ScriptedDialogs() override { setDialogs(nullptr); }

  void showMessage(QWidget* parent, const QString& text) override {
    messages << text;
    record(parent, text);
  }
  void showError(QWidget* parent, const QString& text) override {
    errors << text;
    record(parent, text);
  }
  bool confirm(QWidget* parent, const QString& text) override {
    questions << text;
    record(parent, text);
    if (answers.empty()) return false;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  QString openFile(QWidget* parent, const QString& filter, const QString&) override {
    filters << filter;
    fileParents << parent;
    folders << fileDialogFolder();
    if (whileFileDialogOpen) whileFileDialogOpen();
    return nextFile();
  }
  QString saveFile(QWidget* parent, const QString& filter, const QString& preset) override {
    if (whileFileDialogOpen) whileFileDialogOpen();
    filters << filter;
    fileParents << parent;
    folders << fileDialogFolder();
    presets << preset;
    return nextFile();
  }
  QString chooseItem(QWidget* parent, const QString& text, const QStringList& items) override {
    record(parent, text);
    choiceLists << items;
    if (choices.empty()) return {};
    QString c = choices.front();
    choices.pop_front();
    return c;
  }

  // Answers for confirm(), in order; an empty queue answers No.
  std::deque<bool> answers;
  // File names for the file dialogs, in order; an empty queue is Cancel.
  std::deque<QString> files;
  // Items chooseItem() picks, in order; an empty queue is Cancel.
  std::deque<QString> choices;
  // What the user does while an open or save dialog is up (browse elsewhere...).
  std::function<void()> whileFileDialogOpen;
  // The items each chooseItem() offered.
  QList<QStringList> choiceLists;

  QStringList messages, errors, questions, shown, filters, presets;
  // The folder each file dialog would have opened in.
  QStringList folders;
  // The window each box of `shown` and each file dialog was opened above.
  QList<QWidget*> parents, fileParents;

 private:
  void record(QWidget* parent, const QString& text) {
    shown << text;
    parents << parent;
  }
  QString nextFile() {
    if (files.empty()) return {};
    QString f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace tarvix::test
