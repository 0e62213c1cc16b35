#include "components/ChangeBatcher.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <utility>

namespace tarvix {

ChangeBatcher::ChangeBatcher(QObject* receiver, std::chrono::milliseconds slice)
    : state_(std::make_shared<State>()) {
  state_->receiver = receiver;
  state_->slice = slice;
}

void ChangeBatcher::post(std::function<void()> change, int key) {
  bool schedule = false;
  {
    std::lock_guard lock(state_->mu);
    const std::uint64_t serial = ++state_->serial;
    if (key != 0) state_->latest[key] = serial;
    state_->queue.push_back(Entry{std::move(change), key, serial});
    schedule = !state_->scheduled;
    state_->scheduled = true;
  }
  // One queued call per slice rather than one per change.
  if (schedule) ChangeBatcher::schedule(state_);
}

std::size_t ChangeBatcher::pending() const {
  std::lock_guard lock(state_->mu);
  return state_->queue.size();
}

void ChangeBatcher::schedule(const std::shared_ptr<State>& state) {
  QObject* receiver = state->receiver.data();
  if (!receiver) return;
  QMetaObject::invokeMethod(
      receiver, [state] { run(state); }, Qt::QueuedConnection);
}

void ChangeBatcher::run(const std::shared_ptr<State>& state) {
  QElapsedTimer slice;
  slice.start();
  while (true) {
    Entry next;
    {
      std::lock_guard lock(state->mu);
      if (state->queue.empty()) {
        state->scheduled = false;
        return;
      }
      next = std::move(state->queue.front());
      state->queue.pop_front();
      if (next.key != 0) {
        auto it = state->latest.find(next.key);
        if (it->second != next.serial) continue;  // a later change of this key follows
        state->latest.erase(it);
      }
    }
    next.change();
    // The rest waits for the next turn of the event loop, so that input,
    // painting and timers are handled in between.
    if (slice.elapsed() >= state->slice.count()) break;
  }
  schedule(state);
}

}  // namespace tarvix
