#pragma once
// One status query from a window, run in the background: the reply reaches
// the window on the UI thread while every window keeps working.
#include <QObject>
#include <functional>
#include <string>

#include "components/Background.h"
#include "protocol/StatusQuery.h"

namespace tarvix {

// The reply bytes, or an empty string for no answer or a failure. A fresh
// socket each time, so a late answer to an earlier query is never read.
inline std::string fetchStatusReply(const std::string& host, const std::string& port, int timeoutMs,
                                    const StopSignal& stop) {
  UdpClient client;
  UdpResult r = queryStatus(client, host, port, timeoutMs, &stop);
  return r.ok() ? std::move(r.bytes) : std::string();
}

// Queries host:port off the UI thread and hands the reply to `deliver` on it.
// Nothing is delivered when the program stops the query while it is closing.
inline BackgroundTask fetchStatusInBackground(QObject* receiver, std::string host, std::string port,
                                              int timeoutMs,
                                              std::function<void(const std::string&)> deliver) {
  return runInBackground(
      receiver,
      [host = std::move(host), port = std::move(port), timeoutMs](const StopSignal& stop) {
        return fetchStatusReply(host, port, timeoutMs, stop);
      },
      [deliver = std::move(deliver)](const std::string& reply) { deliver(reply); });
}

}  // namespace tarvix
