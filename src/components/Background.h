#pragma once
// The one way a window runs blocking work: the job runs on a thread of its
// own and its result is handed to `deliver` on the UI thread, unless the task
// was cancelled or `receiver` destroyed first. No nested event loop.
//
//   task_ = runInBackground(this,
//       [ip, port, ms](const StopSignal& stop) { return queryStatus(ip, port, ms, &stop); },
//       [this](StatusReply reply) { show(reply); });
#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <memory>
#include <type_traits>
#include <utility>

#include "base/BackgroundJobs.h"

namespace tarvix {

// Handle of one background task; an empty handle is never pending.
class BackgroundTask {
 public:
  BackgroundTask() = default;
  explicit BackgroundTask(std::shared_ptr<BackgroundJob> job) : job_(std::move(job)) {}
  // Wakes the job's waits; its result is dropped.
  void cancel() {
    if (job_) job_->cancel();
  }
  // Started, not cancelled, and its result not yet handed over.
  bool pending() const { return job_ && !job_->cancelled() && !delivered(); }
  bool delivered() const { return job_ && *delivered_; }

 private:
  template <typename Job, typename Deliver>
  friend BackgroundTask runInBackground(QObject*, Job, Deliver);
  std::shared_ptr<BackgroundJob> job_;
  std::shared_ptr<bool> delivered_ = std::make_shared<bool>(false);
};

template <typename Job, typename Deliver>
BackgroundTask runInBackground(QObject* receiver, Job job, Deliver deliver) {
  using Result = std::invoke_result_t<Job&, const StopSignal&>;
  BackgroundTask task;
  QPointer<QObject> guard(receiver);
  auto delivered = task.delivered_;
  task.job_ = BackgroundJobs::instance().start(
      [job = std::move(job), deliver = std::move(deliver), guard,
       delivered](const std::shared_ptr<BackgroundJob>& self) mutable {
        auto hand = [self, guard, delivered,
                     deliver = std::move(deliver)](auto&&... result) mutable {
          if (!guard || self->cancelled()) return;
          *delivered = true;
          deliver(std::forward<decltype(result)>(result)...);
        };
        QCoreApplication* app = QCoreApplication::instance();
        if constexpr (std::is_void_v<Result>) {
          job(self->stopSignal());
          if (app && !self->cancelled())
            QMetaObject::invokeMethod(app, std::move(hand), Qt::QueuedConnection);
        } else {
          Result result = job(self->stopSignal());
          if (app && !self->cancelled())
            QMetaObject::invokeMethod(
                app,
                [hand = std::move(hand), result = std::move(result)]() mutable {
                  hand(std::move(result));
                },
                Qt::QueuedConnection);
        }
      });
  return task;
}

}  // namespace tarvix
