#pragma once
// A window's web link: navy Tahoma text that turns teal under the mouse.
#include <QColor>
#include <QFont>
#include <QPalette>

#include "components/LinkLabel.h"

namespace tarvix {

inline LinkLabel* makeWebLink(QWidget* parent, const char* name) {
  auto* link = new LinkLabel(parent);
  link->setObjectName(name);
  link->setAddressType(AddressType::Web);
  link->setActiveColour(QColor(0, 128, 128));
  QFont f = link->font();
  f.setFamily("Tahoma");
  link->setFont(f);
  QPalette pal = link->palette();
  pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
  link->setPalette(pal);
  return link;
}

}  // namespace tarvix
