#pragma once
// Tells whether a host answers ICMP echoes and how fast: rounds of pings, each
// on its own PingThread, reported line by line through OnLog and per round
// through OnLink / OnNoLink / OnCheckLink. All events run on the UI thread.
#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

class QTimer;

namespace tarvix {

class PingThread;

// Log facility of a line. The checker uses lsError (3) for a failed ping,
// lsSuccess (8) for an answered one and lsVerdict (9) for a round's verdict.
enum class LogStatus : std::uint8_t {
  lsNone = 0,
  lsInfo = 1,
  lsWarning = 2,
  lsError = 3,
  lsDebug = 4,
  lsStart = 5,
  lsStop = 6,
  lsTrace = 7,
  lsSuccess = 8,
  lsVerdict = 9,
};

enum HostCheckerPingMode { hpmSimultaneous, hpmOneByOne };

using NotifyEvent = std::function<void(QObject* sender)>;
using THostChecker_OnCheckLink = std::function<void(QObject* sender, bool linkExist)>;
using LogHandler = std::function<void(QObject* sender, const std::string& logId, std::string& msg,
                                  std::uint8_t& logLevel, LogStatus& logStatus)>;

class HostChecker : public QObject {
  Q_OBJECT

 public:
  explicit HostChecker(QObject* owner = nullptr);
  ~HostChecker() override;

  // Starts one round for HostName: PingCount pings in PingMode, each waiting
  // PingTimeOut. Returns at once.
  void Check();

  // Properties. Zero numbers and blank host names are ignored by the setters.
  const std::string& logID() const { return logId_; }
  void setLogID(const std::string& id) { logId_ = id; }
  bool AutoCheck() const { return autoCheck_; }
  void setAutoCheck(bool on);
  std::uint16_t autoCheckPeriod() const { return autoCheckPeriod_; }
  void setAutoCheckPeriod(std::uint16_t ms);
  std::uint8_t PingCount() const { return pingCount_; }
  void setPingCount(std::uint8_t n);
  std::uint8_t PingSize() const { return pingSize_; }
  void setPingSize(std::uint8_t n);
  std::uint8_t TTL() const { return ttl_; }
  void setTTL(std::uint8_t n);
  std::uint16_t PingTimeOut() const { return pingTimeOut_; }
  void setPingTimeOut(std::uint16_t ms);
  const std::string& HostName() const { return hostName_; }
  void setHostName(const std::string& host);
  HostCheckerPingMode PingMode() const { return pingMode_; }
  void setPingMode(HostCheckerPingMode mode) { pingMode_ = mode; }

  // Events; each is called only when set.
  NotifyEvent OnLink;
  NotifyEvent OnNoLink;
  THostChecker_OnCheckLink OnCheckLink;
  LogHandler OnLog;

  // The owned timer (interval AutoCheckPeriod, running while AutoCheck).
  QTimer* timer() const { return timer_; }
  // Pings of the current round completed so far, and how many failed.
  std::uint32_t completedCount() const { return completed_; }
  std::uint32_t failedCount() const { return failed_; }

 private:
  void timerTick();
  void startRound(const std::string& host, std::uint8_t count, HostCheckerPingMode mode,
                  std::uint16_t timeOut);
  void pingFinished(PingThread* thread);
  void log(std::string msg, std::uint8_t level, LogStatus status);

  std::string logId_ = "Link checker";
  bool autoCheck_ = false;
  std::uint16_t autoCheckPeriod_ = 10000;
  std::uint8_t pingCount_ = 5;
  std::uint8_t pingSize_ = 1;
  std::uint8_t ttl_ = 64;
  std::uint16_t pingTimeOut_ = 1500;
  std::string hostName_ = "localhost";
  HostCheckerPingMode pingMode_ = hpmSimultaneous;

  QTimer* timer_ = nullptr;
  std::uint32_t completed_ = 0;
  std::uint32_t failed_ = 0;
  // Settings of the round in progress.
  std::uint8_t roundCount_ = 0;
  std::uint8_t roundSize_ = 0;
  std::uint8_t roundTTL_ = 0;
  std::uint16_t roundTimeOut_ = 0;
  HostCheckerPingMode roundMode_ = hpmSimultaneous;
};

}  // namespace tarvix
