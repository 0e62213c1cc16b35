#pragma once
// Changes a worker thread makes to a window, applied on the window's thread in
// the order they were made, in slices short enough for the event loop to run
// between them: a pass that writes thousands of rows never stalls the window.
#include <QObject>
#include <QPointer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace tarvix {

class ChangeBatcher {
 public:
  // Changes run on the receiver's thread; none runs once it is destroyed.
  explicit ChangeBatcher(QObject* receiver,
                         std::chrono::milliseconds slice = std::chrono::milliseconds(8));

  // From any thread. A change with a key other than 0 makes every earlier
  // change with that key that has not run yet superfluous: only the latest
  // matters (a scroll position, a status text).
  void post(std::function<void()> change, int key = 0);
  // Changes posted and not yet run or dropped.
  std::size_t pending() const;

 private:
  struct Entry {
    std::function<void()> change;
    int key;
    std::uint64_t serial;
  };
  struct State {
    mutable std::mutex mu;
    std::deque<Entry> queue;
    std::unordered_map<int, std::uint64_t> latest;  // key -> serial of its last change
    std::uint64_t serial = 0;
    bool scheduled = false;
    QPointer<QObject> receiver;
    std::chrono::milliseconds slice;
  };
  static void schedule(const std::shared_ptr<State>& state);
  static void run(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
};

}  // namespace tarvix
