// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/document/CaretPosition.h"
#include "core/document/ColorValue.h"
#include "core/document/DocumentTitle.h"
#include "core/document/FileSizeText.h"
#include "core/document/UpperCaseInput.h"

namespace quelvo {
namespace {

TEST(DocumentTitle, EveryStateHasItsFormat) {
  EXPECT_EQ(NewDocumentTitle(), "<新規作成>無題 - Quelvo Ver1.47");
  EXPECT_EQ(EditTitle("/nc/O1234.NC"), "<編集>/nc/O1234.NC - Quelvo Ver1.47");
  EXPECT_EQ(ModifiedTitle("無題"), "<編集><変更>無題 - Quelvo Ver1.47");
  EXPECT_EQ(DiscardedTitle(), "<編集> - Quelvo Ver1.47");
  EXPECT_EQ(ReceiveTitle("a.nc"), "<受信>a.nc - Quelvo Ver1.47");
}

TEST(FileSizeText, BytesKilobytesMegabytesAtTheirLimits) {
  EXPECT_EQ(FileSizeText(0, false), "0ﾊﾞｲﾄ");
  EXPECT_EQ(FileSizeText(500, false), "500ﾊﾞｲﾄ");
  EXPECT_EQ(FileSizeText(1023, false), "1023ﾊﾞｲﾄ");
  EXPECT_EQ(FileSizeText(1024, false), "1.000KB");
  EXPECT_EQ(FileSizeText(1536, false), "1.500KB");
  EXPECT_EQ(FileSizeText(1048575, false), "1023.999KB");
  EXPECT_EQ(FileSizeText(1048576, false), "1.000MB");
  EXPECT_EQ(FileSizeText(100.0 * 1024 * 1024, false), "100.000MB");
}

TEST(FileSizeText, MetresOfTapeWhenAsked) {
  EXPECT_EQ(FileSizeText(0, true), "0.00ﾒｰﾄﾙ");
  EXPECT_EQ(FileSizeText(1000, true), "2.54ﾒｰﾄﾙ");
  EXPECT_EQ(FileSizeText(1048576, true), "2663.38ﾒｰﾄﾙ");
}

TEST(ColorValue, PlainColoursAreBlueGreenRedWithRedLowest) {
  const SystemPalette palette;
  EXPECT_EQ(ColorValueToRgb(0x000000FF, palette), (Rgb{255, 0, 0}));
  EXPECT_EQ(ColorValueToRgb(0x00FF8000, palette), (Rgb{0, 128, 255}));
  EXPECT_EQ(RgbToColorValue(Rgb{0x12, 0x34, 0x56}), 0x00563412);
  for (int value : {0, 0x00FFFFFF, 0x00123456, 0x0000FF00})
    EXPECT_EQ(RgbToColorValue(ColorValueToRgb(value, palette)), value);
}

TEST(ColorValue, SystemColoursComeFromThePalette) {
  const SystemPalette palette{Rgb{1, 2, 3}, Rgb{250, 251, 252}};
  EXPECT_EQ(SystemColorValue(kSystemColorWindowText), -2147483640);
  EXPECT_EQ(SystemColorValue(kSystemColorWindow), -2147483643);
  EXPECT_TRUE(IsSystemColorValue(-2147483640));
  EXPECT_FALSE(IsSystemColorValue(0x00FFFFFF));
  EXPECT_EQ(ColorValueToRgb(-2147483640, palette), (Rgb{1, 2, 3}));
  EXPECT_EQ(ColorValueToRgb(-2147483643, palette), (Rgb{250, 251, 252}));
}

TEST(CaretPosition, LineBlankCommaBlankColumn) {
  EXPECT_EQ(CaretPositionText(3, 1), "3 , 1");
  EXPECT_EQ(CaretPositionText(120000, 42), "120000 , 42");
}

TEST(UpperCaseInput, OnlyLettersAtoZChange) {
  EXPECT_EQ(UpperCaseTyped("g01x10."), "G01X10.");
  EXPECT_EQ(UpperCaseTyped("(コメントabc)"), "(コメントABC)");
  EXPECT_EQ(UpperCaseTyped("ａｂ"), "ａｂ");  // full-width letters stay as typed
  EXPECT_EQ(UpperCaseTyped("ｱ;%"), "ｱ;%");
}

}  // namespace
}  // namespace quelvo
