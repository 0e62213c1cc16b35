#include "components/HostChecker.h"

#include <QTimer>
#include <cstdio>

#include "components/PingThread.h"

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

void HostChecker::setTTL(std::uint8_t n) {
  if (n != 0) ttl_ = n;
}

void HostChecker::setPingTimeOut(std::uint16_t ms) {
  if (ms != 0) pingTimeOut_ = ms;
}

void HostChecker::setHostName(const std::string& host) {
  if (host.find_first_not_of(' ') == std::string::npos) return;
  hostName_ = host;
}

void HostChecker::Check() { startRound(hostName_, pingCount_, pingMode_, pingTimeOut_); }

void HostChecker::timerTick() {
  if (!applicationTerminated() && autoCheck_) Check();
}

void HostChecker::startRound(const std::string& host, std::uint8_t count,
                              HostCheckerPingMode mode, std::uint16_t timeOut) {
  roundMode_ = mode;
  roundCount_ = count;
  roundTimeOut_ = timeOut;
  roundSize_ = pingSize_;
  roundTTL_ = ttl_;
  int threads = 1;
  if (mode == hpmSimultaneous) {
    completed_ = 0;
    failed_ = 0;
    threads = count;
  }
  for (int i = 0; i < threads; ++i) {
    auto* t = new PingThread();
    connect(t, &QThread::finished, this, [this, t] { pingFinished(t); }, Qt::QueuedConnection);
    connect(t, &QThread::finished, t, &QObject::deleteLater);
    t->DataSize = roundSize_;
    t->Host = host;
    t->TimeOut = roundTimeOut_;
    t->TTL = roundTTL_;
    t->ResolveReplyName = false;
    t->start();
  }
}

void HostChecker::log(std::string msg, std::uint8_t level, LogStatus status) {
  if (OnLog) OnLog(this, logId_, msg, level, status);
}

void HostChecker::pingFinished(PingThread* t) {
  if (applicationTerminated()) return;
  ++completed_;
  if (t->ReplyCount != 0) {
    log("Ping for " + t->Host + ", received " + std::to_string(t->ReplyDataSize) + " bytes from " +
            t->ReplyIP + " in " + std::to_string(t->RoundTripTime) + "ms",
        64, LogStatus::lsSuccess);
  } else {
    log("Ping for " + t->Host + ", " + t->ErrorText, 64, LogStatus::lsError);
    ++failed_;
  }
  if (completed_ == roundCount_) {
    if (failed_ < roundCount_) {
      log("There is link to " + hostName_ + ".", 96, LogStatus::lsVerdict);
      if (OnLink) OnLink(this);
      if (OnCheckLink) OnCheckLink(this, true);
    } else {
      log("No link to " + hostName_ + ".", 96, LogStatus::lsVerdict);
      if (OnNoLink) OnNoLink(this);
      if (OnCheckLink) OnCheckLink(this, false);
    }
    completed_ = 0;
    failed_ = 0;
  } else if (roundMode_ == hpmOneByOne) {
    startRound(hostName_, roundCount_, roundMode_, roundTimeOut_);
  }
}

}  // namespace tarvix
