// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/FileSizeText.h"

#include "core/common/NumberFormat.h"
#include "core/transfer/TapeCode.h"

namespace quelvo {

std::string FileSizeText(double sizeBytes, bool metres) {
  if (metres) return FormatFloat("0.00", sizeBytes * kMetersPerTapeChar) + "ﾒｰﾄﾙ";
  if (sizeBytes < 1024) return FormatFloat("0", sizeBytes) + "ﾊﾞｲﾄ";
  if (sizeBytes / 1024 < 1024) return FormatFloat("0.000", sizeBytes / 1024) + "KB";
  return FormatFloat("0.000", sizeBytes / 1024 / 1024) + "MB";
}

}  // namespace quelvo
