#pragma once
// Tells whether a host answers ICMP echoes and how fast: rounds of pings, each
// a background echo, reported line by line through lineLogged and per round
// through linkFound or noLink, then linkChecked. All signals come on the UI
// thread, in that order.
#include <QObject>
#include <cstdint>
#include <string>

#include "components/PingJob.h"

class QTimer;

namespace tarvix {

// Facility of a log line. The checker uses Error (3) for a failed ping,
// Success (8) for an answered one and Verdict (9) for a round's verdict.
enum class LogStatus : std::uint8_t {
  None = 0,
  Info = 1,
  Warning = 2,
  Error = 3,
  Debug = 4,
  Start = 5,
  Stop = 6,
  Trace = 7,
  Success = 8,
  Verdict = 9,
};

enum class PingMode { Simultaneous, OneByOne };

class HostChecker : public QObject {
  Q_OBJECT

 public:
  explicit HostChecker(QObject* owner = nullptr);
  ~HostChecker() override;

  // Starts one round for hostName(): pingCount() pings in pingMode(), each
  // waiting pingTimeout(). Returns at once.
  void check();

  // Zero numbers and blank host names are ignored by the setters.
  const std::string& logId() const { return logId_; }
  void setLogId(const std::string& id) { logId_ = id; }
  bool autoCheck() const { return autoCheck_; }
  void setAutoCheck(bool on);
  std::uint16_t autoCheckPeriod() const { return autoCheckPeriod_; }
  void setAutoCheckPeriod(std::uint16_t ms);
  std::uint8_t pingCount() const { return pingCount_; }
  void setPingCount(std::uint8_t n);
  std::uint8_t pingSize() const { return pingSize_; }
  void setPingSize(std::uint8_t n);
  std::uint8_t ttl() const { return ttl_; }
  void setTtl(std::uint8_t n);
  std::uint16_t pingTimeout() const { return pingTimeout_; }
  void setPingTimeout(std::uint16_t ms);
  const std::string& hostName() const { return hostName_; }
  void setHostName(const std::string& host);
  PingMode pingMode() const { return pingMode_; }
  void setPingMode(PingMode mode) { pingMode_ = mode; }

  // The owned timer (interval autoCheckPeriod(), running while autoCheck()).
  QTimer* timer() const { return timer_; }
  // Pings of the current round completed so far, and how many failed.
  std::uint32_t completedCount() const { return completed_; }
  std::uint32_t failedCount() const { return failed_; }

 signals:
  void lineLogged(const std::string& logId, const std::string& line, int level, LogStatus status);
  void linkFound();
  void noLink();
  void linkChecked(bool linkExists);

 private:
  void timerTick();
  void startRound(const std::string& host, std::uint8_t count, PingMode mode,
                  std::uint16_t timeout);
  void pingFinished(const std::string& host, const PingResult& result);
  void log(const std::string& line, int level, LogStatus status);

  std::string logId_ = "Link checker";
  bool autoCheck_ = false;
  std::uint16_t autoCheckPeriod_ = 10000;
  std::uint8_t pingCount_ = 5;
  std::uint8_t pingSize_ = 1;
  std::uint8_t ttl_ = 64;
  std::uint16_t pingTimeout_ = 1500;
  std::string hostName_ = "localhost";
  PingMode pingMode_ = PingMode::Simultaneous;

  QTimer* timer_ = nullptr;
  std::uint32_t completed_ = 0;
  std::uint32_t failed_ = 0;
  // Settings of the round in progress.
  std::uint8_t roundCount_ = 0;
  std::uint8_t roundSize_ = 0;
  std::uint8_t roundTtl_ = 0;
  std::uint16_t roundTimeout_ = 0;
  PingMode roundMode_ = PingMode::Simultaneous;
};

}  // namespace tarvix
