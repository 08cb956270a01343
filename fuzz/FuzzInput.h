// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Takes choices off the front of a fuzzer's input: each call uses one byte (or
// gives the lowest choice once the input is used up); Rest() is what is left.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quelvo::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // A number from low to high, both included.
  int Between(int low, int high) {
    const int byte = pos_ < size_ ? data_[pos_++] : 0;
    return low + byte % (high - low + 1);
  }
  bool Chance(int percent) { return Between(0, 99) < percent; }

  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
    pos_ = size_;
    return rest;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace quelvo::fuzz
