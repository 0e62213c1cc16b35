#pragma once
// The program's home page: the link label's fallback target and the Options
// window's support link.
#include <string_view>

namespace tarvix {

inline constexpr std::string_view kHomePage = "http://www.tarvix.example/";

}  // namespace tarvix
