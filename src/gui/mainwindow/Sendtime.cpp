// SPDX-License-Identifier: GPL-3.0-or-later
// TSendTime: the worker thread of the remaining-time estimate (see Sendtime.h).
#include "gui/mainwindow/Sendtime.h"

namespace quelvo {

TSendTime::TSendTime(SendCounters& counters, QObject* parent) : QThread(parent), counters_(counters) {}

TSendTime::~TSendTime() { wait(); }

TSendTime* TSendTime::StartEstimate(SendCounters& counters, QObject* parent) {
  auto* worker = new TSendTime(counters, parent);
  connect(worker, &QThread::finished, worker, &QObject::deleteLater);
  worker->start();
  return worker;
}

void TSendTime::run() { EstimateRemainingTime(counters_); }

}  // namespace quelvo
