#pragma once
// "messages": the announcer's chat messages of "messages.txt" in file order;
// an absent file is an empty list.
#include "admin/AdminListWindow.h"

class QAction;

namespace tarvix {

class MessageListWindow : public AdminListWindow {
  Q_OBJECT

 public:
  explicit MessageListWindow(QWidget* parent = nullptr);

  QAction* deletemessage1 = nullptr;
  QAction* newmessage1 = nullptr;

  // "delete message": removes the selected message and rewrites the file.
  void deletemessage1Click();
  // "new message": shows "add message".
  void newmessage1Click();
};

}  // namespace tarvix
