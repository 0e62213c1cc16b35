#pragma once
// Scripted message boxes and file dialogs for window tests: records every
// text shown and answers from queues; never blocks.
#include <QString>
#include <QStringList>
#include <deque>

#include "components/Dialogs.h"

namespace tarvix::test {

class ScriptedDialogs : public Dialogs {
 public:
  ScriptedDialogs() { setDialogs(this); }
  ~ScriptedDialogs() override { setDialogs(nullptr); }

  void showMessage(const QString& text) override { messages << text; shown << text; }
  void showError(const QString& text) override { errors << text; shown << text; }
  bool confirm(const QString& text) override {
    questions << text;
    shown << text;
    if (answers.empty()) return false;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  QString openFile(const QString& filter, const QString&) override {
    filters << filter;
    return nextFile();
  }
  QString saveFile(const QString& filter, const QString& preset) override {
    filters << filter;
    presets << preset;
    return nextFile();
  }

  // Answers for confirm(), in order; an empty queue answers No.
  std::deque<bool> answers;
  // File names for the file dialogs, in order; an empty queue is Cancel.
  std::deque<QString> files;

  QStringList messages, errors, questions, shown, filters, presets;

 private:
  QString nextFile() {
    if (files.empty()) return {};
    QString f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace tarvix::test
