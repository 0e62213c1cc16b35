#include "components/HostChecker.h"

#include <QTimer>

namespace tarvix {

HostChecker::HostChecker(QObject* owner) : QObject(owner) {
  timer_ = new QTimer(this);
  timer_->setInterval(autoCheckPeriod_);
  connect(timer_, &QTimer::timeout, this, &HostChecker::timerTick);
}

HostChecker::~HostChecker() = default;

void HostChecker::setAutoCheck(bool on) {
  autoCheck_ = on;
  if (on)
    timer_->start();
  else
    timer_->stop();
}

void HostChecker::setAutoCheckPeriod(std::uint16_t ms) {
  if (ms == 0) return;
  autoCheckPeriod_ = ms;
  timer_->setInterval(ms);
}

void HostChecker::setPingCount(std::uint8_t n) {
  if (n != 0) pingCount_ = n;
}

void HostChecker::setPingSize(std::uint8_t n) {
  if (n != 0) pingSize_ = n;
}

void HostChecker::setTtl(std::uint8_t n) {
  if (n != 0) ttl_ = n;
}

void HostChecker::setPingTimeout(std::uint16_t ms) {
  if (ms != 0) pingTimeout_ = ms;
}

void HostChecker::setHostName(const std::string& host) {
  if (host.find_first_not_of(' ') == std::string::npos) return;
  hostName_ = host;
}

void HostChecker::check() { startRound(hostName_, pingCount_, pingMode_, pingTimeout_); }

void HostChecker::timerTick() {
  if (!applicationTerminated() && autoCheck_) check();
}

void HostChecker::startRound(const std::string& host, std::uint8_t count, PingMode mode,
                             std::uint16_t timeout) {
  roundMode_ = mode;
  roundCount_ = count;
  roundTimeout_ = timeout;
  roundSize_ = pingSize_;
  roundTtl_ = ttl_;
  int pings = 1;
  if (mode == PingMode::Simultaneous) {
    completed_ = 0;
    failed_ = 0;
    pings = count;
  }
  PingRequest request;
  request.host = host;
  request.dataSize = roundSize_;
  request.timeoutMs = roundTimeout_;
  request.ttl = roundTtl_;
  for (int i = 0; i < pings; ++i)
    startPing(this, request, [this, host](const PingResult& r) { pingFinished(host, r); });
}

void HostChecker::log(const std::string& line, int level, LogStatus status) {
  emit lineLogged(logId_, line, level, status);
}

void HostChecker::pingFinished(const std::string& host, const PingResult& r) {
  if (applicationTerminated()) return;
  ++completed_;
  if (r.replyCount != 0) {
    log("Ping for " + host + ", received " + std::to_string(r.replyDataSize) + " bytes from " +
            r.replyIp + " in " + std::to_string(r.roundTripMs) + "ms",
        64, LogStatus::Success);
  } else {
    log("Ping for " + host + ", " + r.errorText, 64, LogStatus::Error);
    ++failed_;
  }
  if (completed_ == roundCount_) {
    if (failed_ < roundCount_) {
      log("There is link to " + hostName_ + ".", 96, LogStatus::Verdict);
      emit linkFound();
      emit linkChecked(true);
    } else {
      log("No link to " + hostName_ + ".", 96, LogStatus::Verdict);
      emit noLink();
      emit linkChecked(false);
    }
    completed_ = 0;
    failed_ = 0;
  } else if (roundMode_ == PingMode::OneByOne) {
    startRound(hostName_, roundCount_, roundMode_, roundTimeout_);
  }
}

}  // namespace tarvix
