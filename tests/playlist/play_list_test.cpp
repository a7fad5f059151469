#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/safe_file.h"
#include "playlist/play_list.h"

using playlist::PlayList;

TEST(PlayList, StepIndexWrapsAndLeavesNoSelectionAlone) {
  PlayList list;
  list.Replace({"/a", "/b", "/c"});
  list.PlayListIndex = 2;
  list.StepIndex(true);
  EXPECT_EQ(list.PlayListIndex, 0);
  list.StepIndex(false);
  EXPECT_EQ(list.PlayListIndex, 2);
  list.PlayListIndex = -1;
  list.StepIndex(true);
  EXPECT_EQ(list.PlayListIndex, -1);
}

TEST(PlayList, StoredListRoundTripsAndSkipsDuplicates) {
  char t[] = "/tmp/orvane-pl-XXXXXX";
  std::string dir = ::mkdtemp(t);
  std::string file = dir + "/PlayFileList";
  PlayList list;
  EXPECT_FALSE(list.LoadStored(file, "", ""));
  EXPECT_TRUE(platform::FileExists(file));  // created empty
  platform::WriteFileAtomically(file, "/m/A.mp4===12\r\n/m/a.MP4===3\n/m/b.mp3\r/m/c===\r\n");
  ASSERT_TRUE(list.LoadStored(file, "/m/new.avi", "/m/b.mp3"));
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.PlayListPaths[0], "/m/A.mp4");
  EXPECT_EQ(list.PlayListStartPositions[0], "12");
  EXPECT_EQ(list.PlayListStartPositions[1], "0");
  EXPECT_EQ(list.PlayListStartPositions[2], "");
  EXPECT_EQ(list.PlayListPaths[3], "/m/new.avi");
  ASSERT_TRUE(list.SaveStored(file));
  EXPECT_EQ(platform::ReadWholeFile(file).value(),
            "/m/A.mp4===12\r\n/m/b.mp3===0\r\n/m/c===\r\n/m/new.avi===0\r\n");
  ::unlink(file.c_str());
  ::rmdir(dir.c_str());
}

TEST(PlayList, RemoveKeepsTheCurrentEntryAndStartPositionsReadAsSeconds) {
  PlayList list;
  list.Replace({"/a", "/b", "/c"});
  list.PlayListIndex = 2;
  list.Remove(0);
  EXPECT_EQ(list.PlayListIndex, 1);
  EXPECT_EQ(list.PlayListPaths[1], "/c");
  list.Remove(1);
  EXPECT_EQ(list.PlayListIndex, -1);
  EXPECT_EQ(playlist::StartSeconds("120"), 120);
  for (const char* text : {"", "later", "-5", "12s", " 3"}) EXPECT_EQ(playlist::StartSeconds(text), 0) << text;
  std::string path, start;
  playlist::SplitPlayListLine("/m/x===y.mp4===7===8", &path, &start);
  EXPECT_EQ(path, "/m/x");
  EXPECT_EQ(start, "y.mp4===7===8");
}
