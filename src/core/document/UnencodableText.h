// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The question asked before a document is saved with characters that CP932
// cannot hold: which characters on which lines would be written as "?".
#include <string>
#include <vector>

#include "core/common/Cp932.h"

namespace quelvo {

// Lines listed in the question at most; further lines are counted.
constexpr std::size_t kUnencodableLinesShown = 10;

// For instance: "…「?」になります。\n\n3行目: Ä €\n\nこのまま保存しますか？"
std::string UnencodableQuestion(const std::vector<UnencodableLine>& lines);

}  // namespace quelvo
