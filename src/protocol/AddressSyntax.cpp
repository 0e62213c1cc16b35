#include "protocol/AddressSyntax.h"

#include <arpa/inet.h>

#include <algorithm>
#include <string>

#include "base/Text.h"

namespace tarvix {

namespace {

bool isLabel(std::string_view label) {
  if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
    return false;
  return std::all_of(label.begin(), label.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
  });
}

}  // namespace

bool isServerHost(std::string_view host) {
  if (host.empty() || host.size() > 253) return false;
  if (std::all_of(host.begin(), host.end(),
                  [](char c) { return c == '.' || (c >= '0' && c <= '9'); })) {
    in_addr address{};
    return inet_pton(AF_INET, std::string(host).c_str(), &address) == 1;
  }
  for (std::size_t start = 0;;) {
    const std::size_t dot = host.find('.', start);
    if (!isLabel(host.substr(start, dot == std::string_view::npos ? dot : dot - start)))
      return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

bool isServerPort(std::string_view port) {
  long long n = 0;
  return !port.empty() && port.front() != '+' && port.front() != '-' && parseInt(port, n) &&
         n >= 1 && n <= 65535;
}

}  // namespace tarvix
