#pragma once
// The stop keys of a running transfer, F3 and Esc, read from an application-wide
// event filter: whichever widget has the focus, a press marks the key held until
// its release and also latches it, so a quick tap between two queries is not
// lost. "中止" latches an Esc press without a key event.
#include <QObject>

#include "core/transfer/TransferHost.h"

namespace quelvo {

class StopKeyFilter : public QObject {
  Q_OBJECT
 public:
  explicit StopKeyFilter(QObject* parent = nullptr);
  ~StopKeyFilter() override;

  bool Held(StopKey key) const;
  // Held, or pressed since the previous Hit of this key; clears the latch.
  bool Hit(StopKey key);
  // A synthesised key-up: no longer held, latch cleared.
  void Release(StopKey key);
  // Latches a press, as if the key had been tapped.
  void Press(StopKey key);
  bool ShiftHeld() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct KeyState {
    bool held = false;
    bool latched = false;
  };
  KeyState& State(StopKey key) { return key == StopKey::kF3 ? f3_ : esc_; }
  const KeyState& State(StopKey key) const { return key == StopKey::kF3 ? f3_ : esc_; }

  KeyState f3_;
  KeyState esc_;
};

}  // namespace quelvo
