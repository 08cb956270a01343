// SPDX-License-Identifier: GPL-3.0-or-later
// RemainingTimeWorker: the worker thread of the remaining-time estimate (see RemainingTimeWorker.h).
#include "gui/mainwindow/RemainingTimeWorker.h"

namespace quelvo {

RemainingTimeWorker::RemainingTimeWorker(SendCounters& counters, QObject* parent) : QThread(parent), counters_(counters) {}

RemainingTimeWorker::~RemainingTimeWorker() { wait(); }

RemainingTimeWorker* RemainingTimeWorker::StartEstimate(SendCounters& counters, QObject* parent) {
  auto* worker = new RemainingTimeWorker(counters, parent);
  connect(worker, &QThread::finished, worker, &QObject::deleteLater);
  worker->start();
  return worker;
}

void RemainingTimeWorker::run() { EstimateRemainingTime(counters_); }

}  // namespace quelvo
