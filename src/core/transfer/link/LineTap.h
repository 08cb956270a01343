// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tap on the line of a transfer: every byte the link writes and reads, in
// both directions, with its time, and every change of the modem lines, handed
// to a reader on another thread (the window's line monitor). The tap only
// looks: the port below it gets the same calls with the same arguments and its
// answers are passed back unchanged, so a transfer with the tap is the same
// transfer, byte for byte.
//
// Memory is bounded: the events wait in a ring of fixed size. The transfer's
// thread is the only writer and never waits for the reader: when the ring is
// full the event is dropped and counted, and the reader is told how many it
// missed. Nothing is recorded while nobody listens.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/port/SerialPort.h"

namespace quelvo {

struct TapEvent {
  enum class Kind : std::uint8_t {
    kFromControl,  // a byte read from the line (as the port gave it, before decoding)
    kToControl,    // a byte written to the line
    kModemLines,   // the modem status changed (bits), or cannot be read (readable false)
    kOpened,       // the link opened the port
    kClosed,       // the link closed the port
    kOutputLines,  // the link set its own lines (bits kTapDtr, kTapRts)
  };
  Kind kind = Kind::kFromControl;
  bool readable = true;
  std::uint8_t byte = 0;
  std::uint32_t bits = 0;
  std::chrono::system_clock::time_point at{};
};

// The lines the program drives, as kOutputLines events carry them: on while
// held on or driven by the handshake.
constexpr std::uint32_t kTapDtr = 0x01;
constexpr std::uint32_t kTapRts = 0x02;

class LineTap {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  // `capacity` events wait at most; the clock stamps them (the system's by default).
  explicit LineTap(std::size_t capacity = 1 << 16, Clock clock = Clock());

  // Reader's side, any thread: events are recorded only while listening.
  void SetListening(bool on) { listening_.store(on, std::memory_order_release); }
  bool Listening() const { return listening_.load(std::memory_order_acquire); }
  // Moves the waiting events to *out (appended) and returns how many were
  // dropped since the last call because the ring was full.
  std::uint64_t Drain(std::vector<TapEvent>* out);

  // Writer's side: one thread at a time (the link's).
  void Byte(TapEvent::Kind kind, std::uint8_t byte);
  void ModemLines(bool readable, std::uint32_t bits);
  void Mark(TapEvent::Kind kind);
  void OutputLines(std::uint32_t bits);

  std::size_t Capacity() const { return ring_.size(); }

 private:
  void Push(const TapEvent& event);

  std::vector<TapEvent> ring_;
  Clock clock_;
  std::atomic<bool> listening_{false};
  std::atomic<std::uint64_t> head_{0};  // written by the writer
  std::atomic<std::uint64_t> tail_{0};  // written by the reader
  std::atomic<std::uint64_t> dropped_{0};
  // The writer's memory of the modem lines: only changes are recorded.
  bool modemKnown_ = false;
  bool modemReadable_ = true;
  std::uint32_t modemBits_ = 0;
};

// The port as the link uses it, with the tap beside it: every call goes to
// `inner` unchanged; what passes is told to the tap when one is attached.
class TappedPort : public SerialPort {
 public:
  explicit TappedPort(SerialPort& inner) : inner_(inner) {}

  // Any thread; the tap must outlive its attachment (null detaches).
  void Attach(LineTap* tap) { tap_.store(tap, std::memory_order_release); }

  bool Open(const std::string& device) override;
  bool IsOpen() const override { return inner_.IsOpen(); }
  void Close() override;
  bool Configure(const LineConfig& config) override;
  bool SetTimeouts(const PortTimeouts& timeouts) override { return inner_.SetTimeouts(timeouts); }
  ReadResult ReadByte(uint8_t* byte) override;
  bool Write(const uint8_t* data, size_t size) override;
  bool OutputQueueSize(int* bytes) override { return inner_.OutputQueueSize(bytes); }
  bool ModemStatus(uint32_t* bits) override;
  bool Purge() override { return inner_.Purge(); }
  const PortError& LastError() const override { return inner_.LastError(); }
  bool ErrorCounts(LineErrorCounts* counts) override { return inner_.ErrorCounts(counts); }
  void SetOpenWatcher(std::function<bool()> keepWaiting) override { inner_.SetOpenWatcher(std::move(keepWaiting)); }

 private:
  LineTap* Listening() const {
    LineTap* tap = tap_.load(std::memory_order_acquire);
    return tap != nullptr && tap->Listening() ? tap : nullptr;
  }

  SerialPort& inner_;
  std::atomic<LineTap*> tap_{nullptr};
};

}  // namespace quelvo
