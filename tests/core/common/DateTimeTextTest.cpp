// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/DateTimeText.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(DateTimeTextTest, LocalDateAndTimeTexts) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "JST-9", 1);
  tzset();
  const std::time_t when = 1767290645;  // 2026-01-01 18:04:05 UTC
  EXPECT_EQ(ShortDateTimeText(when), "2026/01/02 03:04:05");
  EXPECT_EQ(TimeThenDateText(when), "03:04:05 2026/01/02");
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace quelvo
