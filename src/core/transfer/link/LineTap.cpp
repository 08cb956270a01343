// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/LineTap.h"

namespace quelvo {

LineTap::LineTap(std::size_t capacity, Clock clock)
    : ring_(capacity == 0 ? 1 : capacity), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return std::chrono::system_clock::now(); };
}

void LineTap::Push(const TapEvent& event) {
  // One writer, one reader: the writer owns head_, the reader tail_. A full
  // ring drops the new event rather than wait for the reader.
  const std::uint64_t head = head_.load(std::memory_order_relaxed);
  const std::uint64_t tail = tail_.load(std::memory_order_acquire);
  if (head - tail >= ring_.size()) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  ring_[head % ring_.size()] = event;
  head_.store(head + 1, std::memory_order_release);
}

void LineTap::Byte(TapEvent::Kind kind, std::uint8_t byte) {
  TapEvent event;
  event.kind = kind;
  event.byte = byte;
  event.at = clock_();
  Push(event);
}

void LineTap::ModemLines(bool readable, std::uint32_t bits) {
  if (modemKnown_ && readable == modemReadable_ && (!readable || bits == modemBits_)) return;
  modemKnown_ = true;
  modemReadable_ = readable;
  modemBits_ = readable ? bits : 0;
  TapEvent event;
  event.kind = TapEvent::Kind::kModemLines;
  event.readable = readable;
  event.bits = modemBits_;
  event.at = clock_();
  Push(event);
}

void LineTap::Mark(TapEvent::Kind kind) {
  // A new opening shows its modem lines afresh.
  modemKnown_ = false;
  TapEvent event;
  event.kind = kind;
  event.at = clock_();
  Push(event);
}

void LineTap::OutputLines(std::uint32_t bits) {
  TapEvent event;
  event.kind = TapEvent::Kind::kOutputLines;
  event.bits = bits;
  event.at = clock_();
  Push(event);
}

std::uint64_t LineTap::Drain(std::vector<TapEvent>* out) {
  const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
  const std::uint64_t head = head_.load(std::memory_order_acquire);
  for (std::uint64_t i = tail; i < head; ++i) out->push_back(ring_[i % ring_.size()]);
  tail_.store(head, std::memory_order_release);
  return dropped_.exchange(0, std::memory_order_relaxed);
}

bool TappedPort::Open(const std::string& device) {
  const bool opened = inner_.Open(device);
  if (opened) {
    if (LineTap* tap = Listening()) tap->Mark(TapEvent::Kind::kOpened);
  }
  return opened;
}

void TappedPort::Close() {
  const bool wasOpen = inner_.IsOpen();
  inner_.Close();
  if (!wasOpen) return;
  if (LineTap* tap = Listening()) tap->Mark(TapEvent::Kind::kClosed);
}

bool TappedPort::Configure(const LineConfig& config) {
  const bool configured = inner_.Configure(config);
  if (configured) {
    if (LineTap* tap = Listening()) {
      std::uint32_t bits = 0;
      if (config.dtrControl != LineControl::kDisable) bits |= kTapDtr;
      if (config.rtsControl != LineControl::kDisable) bits |= kTapRts;
      tap->OutputLines(bits);
    }
  }
  return configured;
}

ReadResult TappedPort::ReadByte(uint8_t* byte) {
  const ReadResult result = inner_.ReadByte(byte);
  if (result == ReadResult::kByte) {
    if (LineTap* tap = Listening()) tap->Byte(TapEvent::Kind::kFromControl, *byte);
  }
  return result;
}

bool TappedPort::Write(const uint8_t* data, size_t size) {
  const bool written = inner_.Write(data, size);
  // Only what the port took went on the line.
  if (written) {
    if (LineTap* tap = Listening()) {
      for (size_t i = 0; i < size; ++i) tap->Byte(TapEvent::Kind::kToControl, data[i]);
    }
  }
  return written;
}

bool TappedPort::ModemStatus(uint32_t* bits) {
  const bool readable = inner_.ModemStatus(bits);
  if (LineTap* tap = Listening()) tap->ModemLines(readable, readable ? *bits : 0);
  return readable;
}

}  // namespace quelvo
