#pragma once
// What the admin console's two workers share: a view of the console, the
// console's server, and a UDP client of the pass's own aimed at it.
#include <memory>
#include <string>
#include <utility>

#include "base/ConsoleLogs.h"
#include "base/WorkerPass.h"
#include "base/WorkerTiming.h"
#include "protocol/UdpClient.h"

namespace tarvix {

struct ConsolePassSettings {
  std::string host;  // the console's server
  std::string port;
  WorkerTiming timing;
  ConsoleLogs* logs = &consoleLogs();
};

template <typename View>
class ConsolePass : public WorkerPass {
 public:
  ConsolePass(std::shared_ptr<View> view, ConsolePassSettings settings)
      : WorkerPass(std::move(settings.timing), settings.logs), view_(std::move(view)) {
    client_.setServer(settings.host, settings.port);
  }

 protected:
  std::shared_ptr<View> view_;
  // Owned by the pass's thread; every pass re-creates it before sending.
  UdpClient client_;
};

}  // namespace tarvix
