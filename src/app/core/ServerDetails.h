#pragma once
// What the main window shows for one selected server: the summary labels, the
// player view, the row's texts and the properties window's values, worked
// out from one status reply.
#include <string>
#include <string_view>
#include <vector>

#include "base/HomePage.h"
#include "protocol/StatusReply.h"

namespace tarvix {

inline constexpr std::string_view kNoLink = "no link available";
inline constexpr std::string_view kNoResponseSelected = "No response from selected server !";
inline constexpr std::string_view kMapRotationHeading = "maps in rotation:";
inline constexpr std::string_view kMapRotationRule = "-------------------";

struct ServerDetails {
  bool answered = false;
  StatusReply reply;                  // values as read (empty when not answered)
  std::vector<std::string> mapLines;  // the rotation pieces, without the headings
  std::string linkCaption{kNoLink};
  std::string linkTarget{kHomePage};
  std::string countText;  // player count + "/" + maximum
  bool maxIsNumber = false;
  bool full = false;
};

// Pieces of sv_maplist: the text before each space (empty pieces included),
// then what follows the last space when it is not empty.
std::vector<std::string> mapRotationPieces(std::string_view mapList);
// Link caption and target: the link when it holds "www" or "http:" (any
// case), shown without any "http://"; otherwise "no link available" and the
// home page.
void linkDisplay(const StatusReply& reply, std::string& caption, std::string& target);
// Row selection: an answer holds "statusresponse"; read after the FF bytes
// and 01 "statusresponse" are removed.
ServerDetails rowSelectionDetails(std::string_view raw);
// Buddy double-click during a scan: an answer is at least 41 bytes; read
// unchanged.
ServerDetails buddyDetails(std::string_view raw);
// The text of the conversion error for a maximum that is not a whole number.
std::string conversionErrorText(std::string_view value);

// The folder searched for installed maps: "main" beside the game executable
// (MohaaPath, either separator), or "main" of the current folder.
std::string mapFolderFor(std::string_view mohaaPath);
// The installed-map check: the map name without "obj/" and "dm/" (any case)
// is installed when a file name of the folder contains it (any case); stock
// maps (obj_team, mohdm) always count as installed.
bool mapInstalled(std::string_view mapName, std::string_view mohaaPath);

}  // namespace tarvix
