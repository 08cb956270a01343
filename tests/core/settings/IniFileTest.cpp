// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/IniFile.h"

#include <sys/stat.h>

#include <filesystem>
#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.File("t.INI"); }
  void Put(const std::string& bytes) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(Path(), bytes, &error)) << error;
  }
  std::string Bytes() const {
    std::string bytes, error;
    ReadWholeFile(Path(), &bytes, &error);
    return bytes;
  }
  test::TempFolder dir_;
};

TEST_F(IniFileTest, NamesIgnoreCaseAndBlanksAroundKeys) {
  Put("[main]\r\n Top =5\r\nLEFT=7\n[Other]\r\nTop=99\r\n");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("Main", "Top", 0), 5);
  EXPECT_EQ(ini.ReadInteger("MAIN", "left", 0), 7);
  EXPECT_EQ(ini.ReadString("Main", "Top", "x"), "5");
  EXPECT_EQ(ini.ReadInteger("Main", "Width", 550), 550);
  EXPECT_EQ(ini.ReadInteger("Missing", "Top", 3), 3);
}

TEST_F(IniFileTest, IntegersDecimalOrHexElseDefault) {
  Put("[S]\r\na=0x1F\r\nb=0XfF\r\nc=-2147483640\r\nd=12abc\r\ne=\r\nf=0x\r\ng=2147483648\r\nh=0xFFFFFFFF\r\ni= 42 \r\nj=0x000000010\r\nk=0x100000000\r\n");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("S", "a", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "b", 0), 255);
  EXPECT_EQ(ini.ReadInteger("S", "c", 0), -2147483640);
  EXPECT_EQ(ini.ReadInteger("S", "d", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "e", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "f", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "g", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "h", 0), -1);
  EXPECT_EQ(ini.ReadInteger("S", "i", 0), 42);
  EXPECT_EQ(ini.ReadInteger("S", "j", 0), 16);
  EXPECT_EQ(ini.ReadInteger("S", "k", -1), -1);
}

TEST_F(IniFileTest, TextsBooleansAndTheReadCap) {
  const std::string longValue = std::string(2046, 'a') + "\x90\xDD" + "tail";
  Put("[S]\r\nname=\x90\xDD\x92\xE8\x82\x50\r\nempty=\r\non=2\r\noff=0\r\nbad=yes\r\nlong=" + longValue + "\r\n");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("S", "name", ""), "設定１");
  EXPECT_EQ(ini.ReadString("S", "empty", "default"), "");
  EXPECT_EQ(ini.ReadString("S", "none", "default"), "default");
  EXPECT_TRUE(ini.ReadBool("S", "on", false));
  EXPECT_FALSE(ini.ReadBool("S", "off", true));
  EXPECT_TRUE(ini.ReadBool("S", "bad", true));
  // 2047 bytes at most, and never half of a double-byte character.
  EXPECT_EQ(ini.ReadString("S", "long", ""), std::string(2046, 'a'));
}

TEST_F(IniFileTest, WritesReplaceInPlaceAndKeepEveryOtherLine) {
  Put("; comment\r\n[Main]\r\nTop =1\r\nunknown=u\r\n\r\n[Edit]\r\nFont Size=10\n");
  IniFile ini(Path());
  ASSERT_TRUE(ini.WriteInteger("MAIN", "top", 20));
  ASSERT_TRUE(ini.WriteInteger("Main", "Height", 470));
  ASSERT_TRUE(ini.WriteString("Setting", "SetName1", "設定１"));
  ASSERT_TRUE(ini.WriteBool("Edit", "Flag", true));
  EXPECT_EQ(Bytes(),
            "; comment\r\n[Main]\r\ntop=20\r\nunknown=u\r\nHeight=470\r\n\r\n"
            "[Edit]\r\nFont Size=10\r\nFlag=1\r\n\r\n"
            "[Setting]\r\nSetName1=\x90\xDD\x92\xE8\x82\x50\r\n");
  EXPECT_EQ(ini.ReadString("Setting", "SetName1", ""), "設定１");
  EXPECT_TRUE(ini.WriteError().empty());
}

TEST_F(IniFileTest, CreatesTheFileAndKeepsValuesOnOneLine) {
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("A", "k", "d"), "d");
  EXPECT_FALSE(std::filesystem::exists(Path()));
  ASSERT_TRUE(ini.WriteString("A", "k", "two\nlines"));
  EXPECT_EQ(Bytes(), "[A]\r\nk=two lines\r\n");
}

TEST_F(IniFileTest, UnwritablePlacesFailWithTheMessage) {
  Put("[A]\r\nk=1\r\n");
  chmod(Path().c_str(), 0444);
  IniFile readOnly(Path());
  EXPECT_FALSE(readOnly.WriteInteger("A", "k", 2));
  EXPECT_EQ(readOnly.WriteError(), Path() + " に書き込めません");
  EXPECT_FALSE(readOnly.SystemReason().empty());
  EXPECT_EQ(Bytes(), "[A]\r\nk=1\r\n");

  // A folder that is a regular file cannot be written by anyone.
  IniFile underFile(Path() + "/Sub.ini");
  EXPECT_FALSE(underFile.WriteBool("Sub", "F_Set", true));
  EXPECT_EQ(underFile.WriteError(), Path() + "/Sub.ini に書き込めません");
  EXPECT_FALSE(underFile.ReadBool("Sub", "F_Set", false));
}

}  // namespace
}  // namespace quelvo
