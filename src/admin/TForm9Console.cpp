// The console: command line, console lines, logs and the save items.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "admin/TForm9.h"

namespace tarvix {

struct TForm9::PendingLine {};

void TForm9::addConsoleLine(const QString& line) {
  if (lines_.isEmpty()) Memo1->setPlainText(line);
  else Memo1->appendPlainText(line);
  lines_.append(line);
}

void TForm9::addConsoleLines(const QStringList& lines) {
  for (const QString& l : lines) addConsoleLine(l);
}

void TForm9::clearConsole() {
  lines_.clear();
  Memo1->clear();
}

QString TForm9::statusText() const { return StatusPanel->text(); }
void TForm9::setStatusText(const QString& text) { StatusPanel->setText(text); }
void TForm9::focusCommandLine() { Edit1->setFocus(); }
void TForm9::Client1Idle() {}
void TForm9::Edit1KeyDown(int) {}
void TForm9::Edit1Enter() {}
void TForm9::clearconsole1Click() {}
void TForm9::Button1Click() {}
void TForm9::Button2Click() {}

}  // namespace tarvix
