// Ping display: the host checker's log lines become the properties window's
// ping field and ping graph.
#include <QAction>
#include <QLineEdit>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "base/ConsoleLogs.h"
#include "app/core/PingDisplay.h"
#include "components/QtText.h"
#include "components/PingGraph.h"
#include "lists/ServerPropertiesWindow.h"
#include "base/Text.h"

namespace tarvix {

namespace {

QColor colourOf(PingColour c) {
  switch (c) {
    case PingColour::Navy: return QColor(0, 0, 128);
    case PingColour::Green: return QColor(0, 128, 0);
    case PingColour::Purple: return QColor(128, 0, 128);
    case PingColour::Red: return QColor(255, 0, 0);
    case PingColour::Black: break;
  }
  return QColor(0, 0, 0);
}

void setTextColour(QLineEdit* edit, const QColor& colour) {
  QPalette pal = edit->palette();
  pal.setColor(QPalette::Text, colour);
  edit->setPalette(pal);
}

}  // namespace

void MainWindow::bindPingDisplay() {
  // "properties": hide and show again, so the window re-reads its data.
  connect(properties1, &QAction::triggered, this, [] {
    if (ServerPropertiesWindow* props = forms().Form11) {
      props->hide();
      props->show();
    }
  });
}

void MainWindow::HostChecker1Log(const std::string& msg) {
  ServerPropertiesWindow* props = forms().Form11;
  if (const std::optional<std::string> ping = pingTextOf(msg)) {
    PingText = *ping;
    if (props) {
      props->LabeledEdit2->setText(toQString(PingText));
      setTextColour(props->LabeledEdit2, colourOf(pingFieldColour(PingText)));
    }
  }
  // A line without a time leaves the field as it was: the graph below draws
  // the previous value again.
  PingText.clear();
  if (!props) return;

  PingGraph* graph = props->PaintBox1;
  const GraphAdvance next = advanceGraphX(GraphX);
  GraphX = next.x;
  if (next.restart) {
    graph->moveTo(kGraphStartX, GraphY);
    graph->clear();
  }
  long long p = 0;
  if (!parseInt(toBytes(props->LabeledEdit2->text()), p)) {
    consoleLogs().append(LogKind::BadLog, kGraphError);
    return;
  }
  const GraphStep step = graphStepFor(p);
  GraphY = step.y;
  graph->lineTo(GraphX, GraphY, colourOf(step.colour));
}

}  // namespace tarvix
