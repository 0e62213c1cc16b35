#pragma once
// The program's admin lists as a table: each list file has one list window
// and one add window. The map list's window is a MapChangeWindow, which also
// loads a map; the others are plain AdminListWindows.
#include "admin/AddEntryWindow.h"
#include "admin/AdminListWindow.h"

namespace tarvix {

// "Map change" (Form19) over "maps.txt", and "add map" (Form20).
const AdminListSpec& mapListSpec();
const AddEntrySpec& addMapSpec();
// "Bans" (Form21) over "bans.txt", and "add ban" (Form22).
const AdminListSpec& banListSpec();
const AddEntrySpec& addBanSpec();
// "Skins" (Form23) over "skins.txt", and "add skin" (Form24).
const AdminListSpec& skinListSpec();
const AddEntrySpec& addSkinSpec();
// "messages" (Form27) over "messages.txt", and "add message" (Form28).
const AdminListSpec& messageListSpec();
const AddEntrySpec& addMessageSpec();

}  // namespace tarvix
