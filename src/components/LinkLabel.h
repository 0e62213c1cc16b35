#pragma once
// A text label that behaves like a hyperlink: underlined and recoloured under
// the mouse; a click opens its address as a web address or an e-mail address.
#include <QColor>
#include <QLabel>
#include <QString>
#include <QUrl>
#include <functional>

namespace tarvix {

enum class AddressType { Mail, Web };

// Hands a URL to the desktop. Tests install a recording opener; nullptr
// restores the desktop's default handler.
using UrlOpener = std::function<void(const QUrl&)>;
void setUrlOpener(UrlOpener opener);

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(QWidget* parent = nullptr);

  // The address opened by a click, without any "mailto:" prefix.
  const QString& address() const { return address_; }
  void setAddress(const QString& address) { address_ = address; }
  // The text colour under the mouse.
  const QColor& activeColour() const { return activeColour_; }
  void setActiveColour(const QColor& colour) { activeColour_ = colour; }
  AddressType addressType() const { return addressType_; }
  void setAddressType(AddressType type) { addressType_ = type; }

  // Opens the address: the web address itself for a Web label with an
  // address, otherwise "mailto:" + address().
  void openAddress();
  // The URL openAddress() hands to the desktop; empty (nothing is opened) for
  // a web address that is not an http or https page.
  QUrl target() const;

 signals:
  void mouseEntered();
  void mouseLeft();
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setTextColour(const QColor& colour);
  QString address_;
  QColor activeColour_{Qt::red};
  AddressType addressType_ = AddressType::Web;
  QColor savedColour_;
  bool hovered_ = false;
  bool pressed_ = false;
};

}  // namespace tarvix
