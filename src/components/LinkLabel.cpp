#include "components/LinkLabel.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>

namespace tarvix {

namespace {

UrlOpener& opener() {
  static UrlOpener o;
  return o;
}

void openUrl(const QUrl& url) {
  if (opener())
    opener()(url);
  else
    QDesktopServices::openUrl(url);  // the outcome is not checked
}

}  // namespace

void setUrlOpener(UrlOpener o) { opener() = std::move(o); }

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {}

QUrl LinkLabel::target() const {
  if (addressType_ == AddressType::Web && !address_.isEmpty()) {
    // An address without a scheme (www.example.org) is a web address too.
    const QUrl given(address_, QUrl::TolerantMode);
    const QUrl url = given.scheme().isEmpty() ? QUrl::fromUserInput(address_) : given;
    // The address may come from a game server: only a web page is opened,
    // never a local file, a program or another scheme's handler.
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) return url;
    return QUrl();
  }
  return QUrl("mailto:" + address_, QUrl::TolerantMode);
}

void LinkLabel::openAddress() {
  const QUrl url = target();
  if (url.isValid()) openUrl(url);
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::setTextColour(const QColor& colour) {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, colour);
  setPalette(pal);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  if (hovered_) return;
  hovered_ = true;
  savedColour_ = palette().color(QPalette::WindowText);
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  setCursor(Qt::PointingHandCursor);
  setTextColour(activeColour_);
  emit mouseEntered();
}

void LinkLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (!hovered_) return;
  hovered_ = false;
  unsetCursor();
  QFont f = font();
  f.setUnderline(false);
  setFont(f);
  setTextColour(savedColour_);
  emit mouseLeft();
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) pressed_ = true;
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (!click) return;
  openAddress();
  emit clicked();
}

}  // namespace tarvix
