#include "admin/AdminLists.h"

#include "store/NameLists.h"

namespace tarvix {

using Action = AdminListAction;

const AdminListSpec& mapListSpec() {
  static const AdminListSpec spec{.objectName = "Form19",
                                  .caption = "Map change",
                                  .file = kMapsFile,
                                  .columns = {{"map name", 155}, {"rcon name", 155}},
                                  .menu = {{Action::Load, "loadmap1", "load map"},
                                           {Action::Separator},
                                           {Action::Delete, "deletemap1", "delete map"},
                                           {Action::New, "newmap1", "new map"}},
                                  .pairs = true,
                                  .sorted = true,
                                  .icon = ":/rcon.png",
                                  .statusBar = true,
                                  .size = {335, 300}};
  return spec;
}

const AddEntrySpec& addMapSpec() {
  static const AddEntrySpec spec{
      .objectName = "Form20",
      .caption = "add map",
      .file = kMapsFile,
      .fields = {{"LabeledEdit1", "map name"}, {"LabeledEdit2", "rcon name"}},
      .button = "add map",
      .clearOnShow = true,
      .focusFirstWhenIncomplete = true};
  return spec;
}

const AdminListSpec& banListSpec() {
  static const AdminListSpec spec{.objectName = "Form21",
                                  .caption = "Bans",
                                  .file = kBansFile,
                                  .columns = {{"Ban can be CLANTAG or NAME or IP", 0}},
                                  .menu = {{Action::New, "addnewban1", "add new ban"},
                                           {Action::Delete, "removeban1", "remove ban"}},
                                  .sorted = true,
                                  .icon = ":/stop.png",
                                  .statusBar = true,
                                  .size = {250, 300}};
  return spec;
}

const AddEntrySpec& addBanSpec() {
  static const AddEntrySpec spec{.objectName = "Form22",
                                 .caption = "add ban",
                                 .file = kBansFile,
                                 .fields = {{"Edit1", ""}},
                                 .button = "add ban",
                                 .emptyClosesToo = true};
  return spec;
}

const AdminListSpec& skinListSpec() {
  static const AdminListSpec spec{.objectName = "Form23",
                                  .caption = "Skins",
                                  .file = kSkinsFile,
                                  .columns = {{"skin", 220}},
                                  .menu = {{Action::Delete, "deleteskin1", "delete skin"},
                                           {Action::New, "newskin1", "new skin"}},
                                  .sorted = true,
                                  .statusBar = true,
                                  .countText = "skins in list",
                                  .size = {250, 300},
                                  .minimumSize = {250, 100},
                                  .maximumWidth = 250};
  return spec;
}

const AddEntrySpec& addSkinSpec() {
  static const AddEntrySpec spec{.objectName = "Form24",
                                 .caption = "add skin",
                                 .file = kSkinsFile,
                                 .fields = {{"Edit1", ""}},
                                 .button = "add"};
  return spec;
}

const AdminListSpec& messageListSpec() {
  static const AdminListSpec spec{.objectName = "Form27",
                                  .caption = "messages",
                                  .file = kMessagesFile,
                                  .columns = {{"messages via console", 0}},
                                  .menu = {{Action::Delete, "deletemessage1", "delete message"},
                                           {Action::New, "newmessage1", "new message"}},
                                  .mayBeAbsent = true,
                                  .size = {400, 250},
                                  .minimumSize = {300, 200}};
  return spec;
}

const AddEntrySpec& addMessageSpec() {
  static const AddEntrySpec spec{.objectName = "Form28",
                                 .caption = "add message",
                                 .file = kMessagesFile,
                                 .fields = {{"Edit1", ""}},
                                 .button = "add message",
                                 .clearOnShow = true};
  return spec;
}

}  // namespace tarvix
