#include "common/text.h"

#include <gtest/gtest.h>

#include "common/ini_file.h"

namespace orv {
namespace {

TEST(Text, Utf8IsKeptAndOtherBytesReadAsWindows1252) {
  EXPECT_EQ(DecodeFileText("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFplain"), "plain");
  // "café – €" as the Windows build wrote it.
  EXPECT_EQ(DecodeFileText("caf\xE9 \x96 \x80"), "caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC");
  // An overlong encoding and a lone surrogate are not UTF-8.
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(Text, ParseIntegerAcceptsOnlyWholeIntegers) {
  struct Case {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"12", 12},          {"-7", -7},       {"+3", 3},          {"$FF", 255},
      {"0x10", 16},        {"", {}},         {"1.5", {}},        {"12abc", {}},
      {"abc", {}},         {"2147483647", 2147483647},           {"2147483648", {}},
      {"-2147483648", -2147483647 - 1},      {"99999999999999999999", {}}, {"-", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

TEST(IniFile, FirstDuplicateWinsAndWritingCollapsesDuplicates) {
  IniFile f = IniFile::Parse("[Config]\nTABS=1\ntabs=2\n[config]\nHomepage=x\n");
  EXPECT_EQ(f.ReadInteger("Config", "TABS", 9), 1);
  EXPECT_EQ(f.ReadString("CONFIG", "homepage", ""), "x");
  f.WriteInteger("Config", "TABS", 0);
  const IniFile again = IniFile::Parse(f.Serialize());
  EXPECT_EQ(again.ReadInteger("Config", "TABS", 9), 0);
  EXPECT_EQ(f.Serialize().find("=2"), std::string::npos);
}

TEST(IniFile, HostileBytesNeverCrashAndGiveDefaults) {
  const std::string cases[] = {
      std::string("\0\0\0[Config]\nTABS=3\n", 19),
      std::string(200000, '['),
      "[Config]\n" + std::string(100000, 'k') + "=1\n",
      "\xFF\xFE[\x00C\x00]\x00",
      "Homepage=outside any section\n[]\n=\n[Config\nkam=0",
  };
  for (const auto& bytes : cases) {
    const IniFile f = IniFile::Parse(bytes);
    EXPECT_EQ(f.ReadInteger("Config", "TABS", 5), 5);
    (void)f.Serialize();
  }
  // Larger than any settings file: not read at all.
  const IniFile big = IniFile::Parse("[Config]\nTABS=1\n" + std::string(IniFile::kMaxBytes, ' '));
  EXPECT_EQ(big.ReadInteger("Config", "TABS", 5), 5);
}

TEST(IniFile, ValuesWithLineBreaksCannotInjectKeys) {
  IniFile f;
  f.WriteString("Config", "Homepage", "http://a/\r\n[Config]\r\npopblock=1");
  const IniFile again = IniFile::Parse(f.Serialize());
  EXPECT_FALSE(again.HasKey("Config", "popblock"));
}

}  // namespace
}  // namespace orv
