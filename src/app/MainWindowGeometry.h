#pragma once
// The main window's measures in pixels, apart from its code: its first size,
// the banner, the tool buttons, the row of labels and the views' columns.
// The layouts grow the three views from these when the window is resized.
#include <QMargins>
#include <QSize>

namespace tarvix {

struct MainWindowGeometry {
  QSize window{680, 618};
  QMargins content{6, 2, 6, 0};  // around the banner, labels and views
  int spacing = 3;
  QSize banner{668, 65};
  QMargins summary{2, 0, 2, 0};  // the labels' row
  int summaryHeight = 38;
  // Share of the height beyond the fixed parts: player and buddy views, server view.
  int upperViewsStretch = 2;
  int serverViewStretch = 3;
  int progressHeight = 12;
  QSize toolButton{55, 50};
  QSize toolIcon{24, 24};
  int toolFontPixels = 10;
  QSize rowIcon{16, 16};
};

inline constexpr MainWindowGeometry kMainWindowGeometry{};

// A view's column: its header and width; width 0 takes the room left.
struct ViewColumn {
  const char* header;
  int width;
};

inline constexpr ViewColumn kPlayerColumns[] = {{"Players on server", 0}, {"Ping", 35}};
inline constexpr ViewColumn kBuddyColumns[] = {{"No Buddies online", 0}, {"Host", 107}};
inline constexpr ViewColumn kServerColumns[] = {
    {"Player", 98}, {"Map", 150}, {"Host", 315}, {"Game", 90}};

}  // namespace tarvix
