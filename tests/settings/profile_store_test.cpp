#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/profile_store.h"
#include "platform/safe_file.h"

using namespace platform;

namespace {
struct TempIni {
  std::string dir, path;
  TempIni() {
    char t[] = "/tmp/orvane-ini-XXXXXX";
    dir = ::mkdtemp(t);
    path = dir + "/Default.ini";
  }
  ~TempIni() {
    ::unlink(path.c_str());
    ::rmdir(dir.c_str());
  }
  void Put(const std::string& s) { WriteFileAtomically(path, s); }
  std::string Get() { return ReadWholeFile(path).value_or("<missing>"); }
};
}  // namespace

TEST(ProfileStore, ReadsMatchNamesInAnyCaseAndTrimValues) {
  TempIni ini;
  ini.Put("[PlayControl]\r\nLastPos = 42 \r\nLastMediaFile=/a b/c.mp4\r\n");
  EXPECT_EQ(GetPrivateProfileInt("playcontrol", "LASTPOS", -1, ini.path), 42);
  EXPECT_EQ(GetPrivateProfileString("PLAYCONTROL", "lastmediafile", "x", ini.path), "/a b/c.mp4");
  EXPECT_EQ(GetPrivateProfileString("PlayControl", "Nope", "Value no find", ini.path),
            "Value no find");
  EXPECT_EQ(GetPrivateProfileString("Nope", "LastPos", "Value no find", ini.path), "Value no find");
  EXPECT_EQ(GetPrivateProfileInt("PlayControl", "Nope", -1, ini.path), -1);
}

TEST(ProfileStore, IntegerReadTakesTheLeadingNumber) {
  TempIni ini;
  ini.Put("[A]\r\nn=-9999\r\nm=30abc\r\nw=abc\r\ne=\r\nh=99999999999\r\n");
  EXPECT_EQ(GetPrivateProfileInt("A", "n", -1, ini.path), -9999);
  EXPECT_EQ(GetPrivateProfileInt("A", "m", -1, ini.path), 30);
  EXPECT_EQ(GetPrivateProfileInt("A", "w", -1, ini.path), 0);
  EXPECT_EQ(GetPrivateProfileInt("A", "e", -1, ini.path), 0);
  EXPECT_EQ(GetPrivateProfileInt("A", "h", -1, ini.path), 2147483647);
  EXPECT_EQ(GetPrivateProfileString("A", "e", "Value no find", ini.path), "");
}

TEST(ProfileStore, LongValuesAreCutTo254Characters) {
  TempIni ini;
  std::string longPath(300, 'p');
  WritePrivateProfileString("File", "CaptureImagePath", longPath, ini.path);
  EXPECT_EQ(GetPrivateProfileString("File", "CaptureImagePath", "", ini.path),
            longPath.substr(0, 254));
  // Characters count, not bytes: 100 Chinese characters (300 bytes) come back whole.
  std::string chinese;
  for (int i = 0; i < 100; ++i) chinese += "播";  // 3 bytes each
  WritePrivateProfileString("File", "CaptureImagePath", "/" + chinese, ini.path);
  EXPECT_EQ(GetPrivateProfileString("File", "CaptureImagePath", "", ini.path), "/" + chinese);
  // A cut keeps whole characters of mixed widths: 1 + 2 + 3 + 4 bytes per round.
  std::string mixed;
  for (int i = 0; i < 80; ++i) mixed += "a\u00e9\u64ad\U0001F3B5";
  WritePrivateProfileString("File", "CaptureImagePath", mixed, ini.path);
  std::string cut = GetPrivateProfileString("File", "CaptureImagePath", "", ini.path);
  std::string expected;
  for (int i = 0; i < 63; ++i) expected += "a\u00e9\u64ad\U0001F3B5";
  expected += "a\u00e9";  // 63 * 4 + 2 = 254 characters
  EXPECT_EQ(cut, expected);
}

TEST(ProfileStore, AByteOrderMarkHidesNothingAndStays) {
  TempIni ini;
  ini.Put("\xEF\xBB\xBF[File]\r\nLanguage=1\r\n[Play]\r\nSoundLevel=30\r\n");
  EXPECT_EQ(GetPrivateProfileInt("File", "Language", -1, ini.path), 1);
  ASSERT_TRUE(WritePrivateProfileString("File", "Language", "2", ini.path));
  EXPECT_EQ(ini.Get(), "\xEF\xBB\xBF[File]\r\nLanguage=2\r\n[Play]\r\nSoundLevel=30\r\n");
}

TEST(ProfileStore, WritesUpdateInPlaceAndAppendKeysAndSections) {
  TempIni ini;
  ini.Put("[File]\r\nA=1\r\nB=2\r\n\r\n[Play]\r\nC=3\r\n");
  // An update keeps the file's spelling of the key.
  ASSERT_TRUE(WritePrivateProfileString("file", "b", "20", ini.path));
  EXPECT_EQ(ini.Get(), "[File]\r\nA=1\r\nB=20\r\n\r\n[Play]\r\nC=3\r\n");
  WritePrivateProfileString("File", "New", "x", ini.path);
  EXPECT_EQ(ini.Get(), "[File]\r\nA=1\r\nB=20\r\nNew=x\r\n\r\n[Play]\r\nC=3\r\n");
  WritePrivateProfileString("Pip", "PositionType", "102", ini.path);
  EXPECT_EQ(ini.Get(),
            "[File]\r\nA=1\r\nB=20\r\nNew=x\r\n\r\n[Play]\r\nC=3\r\n[Pip]\r\nPositionType=102\r\n");
}

TEST(ProfileStore, WriteCreatesAMissingFileAndFailsInAMissingFolder) {
  TempIni ini;
  ASSERT_TRUE(WritePrivateProfileString("S", "K", "V", ini.path));
  EXPECT_EQ(ini.Get(), "[S]\r\nK=V\r\n");
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "V", ini.dir + "/no/such/Default.ini"));
}

TEST(ProfileStore, BinaryAndLfOnlyTextNeverBreaksReads) {
  TempIni ini;
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131) & 0xFF);
  ini.Put(binary + "\n[X]\nk=7\n");
  EXPECT_EQ(GetPrivateProfileInt("X", "k", -1, ini.path), 7);
  ASSERT_TRUE(WritePrivateProfileString("X", "k", "8", ini.path));
  EXPECT_EQ(GetPrivateProfileInt("X", "k", -1, ini.path), 8);
}
