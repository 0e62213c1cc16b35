#pragma once
// One ICMP echo on its own short-lived thread. The thread frees itself when it
// ends; its end (finished()) is delivered to receivers on the UI thread, where
// they read the result fields. Every ping thread is registered process-wide so
// that shutdown can post a quit request to each.
#include <QThread>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvix {

class StopSignal;

// Set once the program has begun to shut down; finishing ping threads are
// then ignored by the host checker.
bool applicationTerminated();
// Tests clear it again to start over.
void setApplicationTerminated(bool terminated);

class PingThread : public QThread {
  Q_OBJECT

 public:
  // Created suspended: start() runs the echo. Registers its identifier.
  explicit PingThread(QObject* parent = nullptr);
  ~PingThread() override;

  // Set before start().
  std::string Host;          // trimmed of blanks before use
  std::uint32_t DataSize = 0;  // 0 keeps the echo's default
  std::uint32_t TimeOut = 0;   // ms; 0 keeps the echo's default
  std::uint32_t TTL = 0;       // 0 keeps the echo's default
  std::uint32_t IPFlags = 0;
  bool ResolveReplyName = false;

  // Results, valid once the thread has finished.
  std::uint32_t ReplyCount = 0;  // 0: the ping failed
  std::string TargetIP;
  std::string ReplyIP;
  std::string ReplyName;
  std::uint32_t ReplyStatus = 0;
  std::uint32_t RoundTripTime = 0;
  std::uint16_t ReplyDataSize = 0;
  std::uint32_t ErrorCode = 0;
  std::string ErrorText;

  std::uint64_t Id() const { return id_; }
  // Asks the thread to end now; a waiting echo returns at once.
  void Quit();

  // Identifiers of every ping thread started since start-up or the last
  // PostQuitToAll.
  static std::vector<std::uint64_t> Registry();
  // Ping threads that have not been destroyed yet.
  static int LiveCount();
  // Posts a quit request to every registered thread, waits until each has
  // ended, and empties the registry.
  static void PostQuitToAll();

 protected:
  void run() override;

 private:
  std::uint64_t id_ = 0;
  std::unique_ptr<StopSignal> quit_;
};

}  // namespace tarvix
