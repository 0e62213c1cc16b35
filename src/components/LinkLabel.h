#pragma once
// A text label that behaves like a hyperlink: underlined and recoloured under
// the mouse; a click opens its address as a web address or an e-mail address.
#include <QColor>
#include <QLabel>
#include <QString>
#include <QUrl>
#include <functional>

namespace tarvix {

enum AddressType { atMail, atWWW };

// Hands a URL to the desktop. Tests install a recording opener; nullptr
// restores the desktop's default handler.
using UrlOpener = std::function<void(const QUrl&)>;
void setUrlOpener(UrlOpener opener);

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(QWidget* parent = nullptr);

  // The address opened by a click, without any "mailto:" prefix.
  QString Adress;
  QColor ActiveColor{Qt::red};

  AddressType AdressType() const { return adressType_; }
  void setAdressType(AddressType type);

  // Opens the address: the web address itself for an atWWW label with an
  // address, otherwise "mailto:" + Adress.
  void OpenAdress();
  // The URL OpenAdress hands to the desktop; empty (nothing is opened) for a
  // web address that is not an http or https page.
  QUrl Target() const;

 signals:
  void OnMouseEnter();
  void OnMouseExit();
  void OnClick();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setFontColour(const QColor& colour);
  AddressType adressType_ = atWWW;
  QColor savedColour_;
  bool hovered_ = false;
  bool pressed_ = false;
};

}  // namespace tarvix
