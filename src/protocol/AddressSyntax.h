#pragma once
// Whether typed text can name a game server: its host (a dotted IPv4 address
// or a host name) and its port.
#include <string_view>

namespace tarvix {

// Four decimal numbers 0-255 joined by dots, or a host name: dot-separated
// labels of letters, digits, hyphens and underscores, none empty or starting
// or ending with a hyphen. Text of digits and dots alone is an IPv4 address
// or nothing ("999.1.2.3" is neither).
bool isServerHost(std::string_view host);
// A port number, 1 to 65535.
bool isServerPort(std::string_view port);

}  // namespace tarvix
