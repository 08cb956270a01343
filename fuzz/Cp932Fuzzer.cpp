// SPDX-License-Identifier: GPL-3.0-or-later
// The CP932 codec is lossless: any bytes decoded and encoded again come back
// unchanged. Encoding arbitrary (possibly invalid) UTF-8 must not fail either.
#include <string_view>

#include "FuzzCheck.h"
#include "core/common/Cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  quelvo::fuzz::Check(quelvo::Utf8ToCp932(quelvo::Cp932ToUtf8(bytes)) == bytes,
                      "bytes decoded and encoded again come back unchanged");
  quelvo::Utf8ToCp932(bytes);
  return 0;
}
