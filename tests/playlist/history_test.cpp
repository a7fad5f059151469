// The history model and its compressed "HistoryList".
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include "companion/zeltpack/zeltpack.h"
#include "platform/safe_file.h"
#include "playlist/history.h"

using playlist::History;

namespace {
struct HistoryFile : ::testing::Test {
  std::string dir, file;
  void SetUp() override {
    char t[] = "/tmp/orvane-history-XXXXXX";
    dir = ::mkdtemp(t);
    file = dir + "/HistoryList";
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
  void WritePacked(const std::string& text) {
    zeltpack::ByteStream packed;
    ASSERT_EQ(zeltpack::MyCompression({text.begin(), text.end()}, packed, 3), 0);
    platform::WriteFileAtomically(file, std::string(packed.begin(), packed.end()));
  }
  std::string Unpacked() {
    std::string bytes = platform::ReadWholeFile(file).value();
    zeltpack::ByteStream text;
    EXPECT_EQ(zeltpack::MyDeCompression({bytes.begin(), bytes.end()}, text), 0);
    return std::string(text.begin(), text.end());
  }
};
}  // namespace

TEST(History, KeepsFirstAppearanceWithoutRegardToLetterCase) {
  History history;
  EXPECT_EQ(history.Merge({"/m/A.mp4", "/m/b.mp3", "/M/a.MP4", ""}),
            (std::vector<std::string>{"/m/A.mp4", "/m/b.mp3"}));
  EXPECT_EQ(history.Merge({"/m/B.MP3", "/n/a.mp4"}), std::vector<std::string>{"/n/a.mp4"});
  EXPECT_EQ(history.Paths(), (std::vector<std::string>{"/m/A.mp4", "/m/b.mp3", "/n/a.mp4"}));
  history.Replace({"/x", "/X", "/y"});
  EXPECT_EQ(history.Paths(), (std::vector<std::string>{"/x", "/y"}));
  EXPECT_EQ(history.Merge({"/m/a.mp4"}).size(), 1u);  // what was replaced is gone
}

TEST_F(HistoryFile, MissingFileIsCreatedEmptyAndSavesRoundTripWholePaths) {
  History history;
  EXPECT_EQ(history.Load(file).status, History::LoadResult::Created);
  EXPECT_EQ(platform::ReadWholeFile(file).value(), "");
  EXPECT_TRUE(history.Paths().empty());

  const std::string longPath = "/media/" + std::string(300, 'x') + "/影片.mkv";
  history.Merge({"/m/a.mp4", longPath});
  ASSERT_TRUE(history.Save(file));
  EXPECT_EQ(Unpacked(), "/m/a.mp4\r\n" + longPath + "\r\n");
  History again;
  EXPECT_EQ(again.Load(file).status, History::LoadResult::Loaded);
  EXPECT_EQ(again.Paths(), history.Paths());

  // Any line end reads alike; the installer's empty zlib stream is an empty history.
  WritePacked("/a\r\n/b\n/c\r/d");
  again.Load(file);
  EXPECT_EQ(again.Paths(), (std::vector<std::string>{"/a", "/b", "/c", "/d"}));
  platform::WriteFileAtomically(file, std::string("\x78\x9C\x03\x00\x00\x00\x00\x01", 8));
  EXPECT_EQ(again.Load(file).status, History::LoadResult::Loaded);
  EXPECT_TRUE(again.Paths().empty());
}

TEST_F(HistoryFile, FileThatDoesNotDecompressIsSetAsideNeverOverwritten) {
  const std::string junk("not a zlib stream\0\xFF\r\n", 21);
  platform::WriteFileAtomically(file + ".damaged", "an earlier one");
  platform::WriteFileAtomically(file, junk);
  History history;
  history.Merge({"/old"});
  History::LoadResult result = history.Load(file);
  EXPECT_EQ(result.status, History::LoadResult::SetAside);
  EXPECT_EQ(result.keptAs, file + ".damaged-2");
  EXPECT_EQ(platform::ReadWholeFile(file + ".damaged-2").value(), junk);
  EXPECT_EQ(platform::ReadWholeFile(file + ".damaged").value(), "an earlier one");
  EXPECT_TRUE(history.Paths().empty());
  EXPECT_FALSE(platform::FileExists(file));
}
