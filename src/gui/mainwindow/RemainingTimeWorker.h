// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RemainingTimeWorker: the short-lived worker that estimateTimer starts every ten seconds while
// the data of a send goes out. It makes one remaining-time estimate from the
// send engine's counters and ends. The counters are atomics shared with the
// engine on the transfer thread, so the worker needs no lock; the engine shows the
// new estimate with the next line's progress text.
#include <QThread>

#include "core/transfer/send/SendTimeEstimate.h"

namespace quelvo {

class RemainingTimeWorker : public QThread {
  Q_OBJECT
 public:
  // `counters` must outlive the worker.
  explicit RemainingTimeWorker(SendCounters& counters, QObject* parent = nullptr);
  // Waits for a run still in progress, so that the thread never outlives its object.
  ~RemainingTimeWorker() override;

  // Creates a worker that deletes itself when its run ends, and starts it.
  static RemainingTimeWorker* StartEstimate(SendCounters& counters, QObject* parent);

 protected:
  void run() override;

 private:
  SendCounters& counters_;
};

}  // namespace quelvo
