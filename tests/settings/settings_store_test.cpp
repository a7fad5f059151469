#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/safe_file.h"
#include "settings/default_settings.h"
#include "settings/settings_store.h"

using namespace settings;

namespace {
struct ProgramDir {
  std::string root;
  platform::ProgramFolders folders;
  explicit ProgramDir(bool withIni = true) {
    char t[] = "/tmp/orvane-prog-XXXXXX";
    root = ::mkdtemp(t);
    folders = platform::ProgramFoldersFor(root);
    if (withIni) ::mkdir(folders.ini.c_str(), 0755);
  }
  ~ProgramDir() { std::system(("rm -rf '" + root + "'").c_str()); }
};
}  // namespace

TEST(SettingsStore, FreshStartWritesTheDefaultTextThenTheCaptureFolder) {
  ProgramDir dir;
  SettingsStore store;
  ASSERT_TRUE(PrepareSettings(store, dir.folders));
  EXPECT_EQ(store.Path(), dir.folders.ini + "/Default.ini");
  std::string text = platform::ReadWholeFile(store.Path()).value();
  std::string expected = DefaultSettingsFileText();
  std::string line = "CaptureImagePath=";
  expected.insert(expected.find(line) + line.size(), dir.folders.temp);
  EXPECT_EQ(text, expected);
  EXPECT_EQ(store.ReadText("File", "CaptureImagePath").back(), '/');
  // Byte-level shape: starts with [File], ends with the last shortcut and CR LF,
  // and has no bare LF anywhere.
  EXPECT_EQ(text.rfind("[File]\r\nLanguage=1\r\n", 0), 0u);
  EXPECT_EQ(text.substr(text.size() - 18), "FullScreen=Enter\r\n");
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_EQ(text[i - 1], '\r');
    }
  }
  EXPECT_NE(text.find("\r\n\r\n[ShortCut]\r\nOpenFile=Ctrl+O\r\nOpenDvdDirectory=Ctrl+D\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("NormalPlay=Ctrl+R\r\nPreviousFrame=Left\r\n"), std::string::npos);
}

TEST(SettingsStore, DefaultsReadAsTheirTypesAndAbsentKeysAsMinusOne) {
  ProgramDir dir;
  SettingsStore store;
  PrepareSettings(store, dir.folders);
  EXPECT_EQ(store.ReadInt("PlayControl", "LastPlayType"), 1);
  EXPECT_EQ(store.ReadInt("PlayControl", "ReloadLast"), 1);
  EXPECT_EQ(store.ReadText("PlayControl", "LastMediaFile"), "");
  EXPECT_EQ(store.ReadInt("Pip", "PositionType"), -1);
  EXPECT_EQ(store.ReadText("Pip", "ReverseType"), kValueNoFind);
  EXPECT_EQ(store.ReadInt("Play", "SoundLevel"), 30);
}

TEST(SettingsStore, ARemovedCaptureLineIsNotRepaired) {
  ProgramDir dir;
  SettingsStore store;
  PrepareSettings(store, dir.folders);
  std::string text = platform::ReadWholeFile(store.Path()).value();
  size_t at = text.find("CaptureImagePath=");
  text.erase(at, text.find("\r\n", at) + 2 - at);
  platform::WriteFileAtomically(store.Path(), text);
  PrepareSettings(store, dir.folders);
  EXPECT_EQ(store.ReadText("File", "CaptureImagePath"), kValueNoFind);
}

TEST(SettingsStore, EnsuredWritesRecreateADeletedFileInFull) {
  ProgramDir dir;
  SettingsStore store;
  PrepareSettings(store, dir.folders);
  ::unlink(store.Path().c_str());
  store.WriteIntEnsured("Play", "StayOnTop", 2);
  EXPECT_EQ(store.ReadInt("Play", "StayOnTop"), 2);
  EXPECT_EQ(store.ReadText("ShortCut", "BossKey"), "Ctrl+F12");
  std::string expected = DefaultSettingsFileText();
  expected.replace(expected.find("StayOnTop=0"), 11, "StayOnTop=2");
  EXPECT_EQ(platform::ReadWholeFile(store.Path()).value(), expected);
}

TEST(SettingsStore, MissingIniFolderFallsBackToBuiltInDefaults) {
  ProgramDir dir(false);
  SettingsStore store;
  EXPECT_FALSE(PrepareSettings(store, dir.folders));
  EXPECT_EQ(store.ReadInt("Play", "SoundLevel"), 30);
  EXPECT_EQ(store.ReadText("ShortCut", "Play/Pause"), "Space");
  EXPECT_EQ(store.ReadInt("Pip", "PositionType"), -1);
  EXPECT_FALSE(store.Write("Play", "StayOnTop", "1"));
}

TEST(SettingsStore, HugeAndBinaryFilesAreReadWithoutHarm) {
  ProgramDir dir;
  SettingsStore store;
  PrepareSettings(store, dir.folders);
  std::string huge(10 * 1024 * 1024, 'x');
  for (size_t i = 0; i < huge.size(); i += 997) huge[i] = static_cast<char>(i & 0xFF);
  platform::WriteFileAtomically(store.Path(), huge);
  EXPECT_EQ(store.ReadInt("PlayControl", "LastPlayType"), -1);
  EXPECT_TRUE(store.WriteEnsured("PlayControl", "LastPos", "5"));
  EXPECT_EQ(store.ReadInt("PlayControl", "LastPos"), 5);
}
