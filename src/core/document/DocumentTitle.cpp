// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/DocumentTitle.h"

namespace quelvo {

namespace {
std::string WithProgramName(const std::string& head) {
  return head + " - Quelvo" + kVersionSuffix;
}
}  // namespace

std::string NewDocumentTitle() { return WithProgramName(std::string("<新規作成>") + kUntitledName); }
std::string EditTitle(const std::string& fileName) { return WithProgramName("<編集>" + fileName); }
std::string ModifiedTitle(const std::string& fileName) {
  return WithProgramName("<編集><変更>" + fileName);
}
std::string DiscardedTitle() { return WithProgramName("<編集>"); }
std::string ReceiveTitle(const std::string& fileName) { return WithProgramName("<受信>" + fileName); }

}  // namespace quelvo
