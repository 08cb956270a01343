// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The stop keys of a running transfer, F3 and Esc, read from an application-wide
// event filter: whichever widget has the focus, a press calls the stop handler
// with its kind (the window passes it to the running transfer session's Stop).
// The filter also answers whether Shift is held, for the close request of a
// transfer command.
#include <QObject>
#include <functional>

#include "core/transfer/StopToken.h"

namespace quelvo {

class StopKeyFilter : public QObject {
  Q_OBJECT
 public:
  using StopHandler = std::function<void(StopKind)>;

  explicit StopKeyFilter(QObject* parent = nullptr);
  ~StopKeyFilter() override;

  void SetStopHandler(StopHandler handler) { handler_ = std::move(handler); }
  bool ShiftHeld() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  StopHandler handler_;
};

}  // namespace quelvo
