// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/TransferThread.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

namespace quelvo {

void TransferThread::Run(QObject* context, const std::function<void()>& run, const std::function<void()>& deliver) {
  std::atomic<bool> done{false};
  std::unique_ptr<QThread> thread(QThread::create([&] {
    run();
    done.store(true);
    // Wakes the window's thread from its wait for events.
    QMetaObject::invokeMethod(context, [] {}, Qt::QueuedConnection);
  }));
  QTimer delivery;
  delivery.setInterval(kDeliveryMs);
  QObject::connect(&delivery, &QTimer::timeout, context, [&] { deliver(); });
  delivery.start();
  thread->start();
  // Not a QEventLoop: a quit of the application must not end this wait while
  // the transfer still runs (the window's close waits for it instead).
  while (!done.load()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  thread->wait();
  delivery.stop();
  deliver();
}

}  // namespace quelvo
