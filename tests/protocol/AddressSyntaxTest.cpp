#include <gtest/gtest.h>

#include "protocol/AddressSyntax.h"

namespace tarvix {
namespace {

TEST(AddressSyntax, HostsAndPortsAtTheirBoundaries) {
  const struct {
    const char* host;
    bool accepted;
  } hosts[] = {{"255.255.255.255", true},
               {"256.1.2.3", false},
               {"1.2.3", false},
               {"1.2.3.4.5", false},
               {"mohaa-eu.example", true},
               {"srv_1", true},
               {"-a.example", false},
               {"a-.example", false},
               {"a..b", false},
               {"a.b:1", false},
               {"", false}};
  for (const auto& h : hosts) EXPECT_EQ(isServerHost(h.host), h.accepted) << h.host;
  const struct {
    const char* port;
    bool accepted;
  } ports[] = {{"1", true},   {"65535", true}, {"0", false}, {"65536", false},
               {"+5", false}, {"5:6", false},  {"", false}};
  for (const auto& p : ports) EXPECT_EQ(isServerPort(p.port), p.accepted) << p.port;
}

}  // namespace
}  // namespace tarvix
