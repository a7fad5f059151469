// The history as the window keeps it: the "历史记录" submenu's items, the
// compressed "HistoryList" between runs, clearing at exit and the editor.
#include <QMenu>
#include <sys/stat.h>

#include "companion/zeltpack/zeltpack.h"
#include "form_fixture.h"

namespace {
struct HistoryFixture : FormFixture {
  std::unique_ptr<TOrvaneMain_Form> form;
  std::string clip, twin, song;
  void SetUp() override {
    FormFixture::SetUp();
    clip = root + "/clip.mp4";
    song = root + "/song.mp3";
    ::mkdir((root + "/other").c_str(), 0755);
    twin = root + "/other/clip.mp4";
    platform::WriteFileAtomically(twin, "x");
  }
  std::string HistoryFile() { return folders.project + "/HistoryList"; }
  QAction* Find(const char* name) { return form->findChild<QAction*>(name); }
  void OpenThroughDialog(std::vector<std::string> files) {
    prompt.openAnswer = std::move(files);
    Find("pOpenFile")->trigger();
  }
  // What a user sees after the fixed items and their separator, once the menu opens.
  std::vector<QAction*> Items() {
    emit form->pHistory->aboutToShow();
    QList<QAction*> all = form->pHistory->actions();
    EXPECT_TRUE(all.size() >= 4 && all[3]->isSeparator());
    return std::vector<QAction*>(all.begin() + std::min<qsizetype>(4, all.size()), all.end());
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> captions;
    for (QAction* a : Items()) captions.push_back(a->text().toStdString());
    return captions;
  }
  // The lines "HistoryList" holds, or "(unreadable)".
  std::string Stored() {
    std::string bytes = platform::ReadWholeFile(HistoryFile()).value_or("");
    zeltpack::ByteStream text;
    if (bytes.empty() || zeltpack::MyDeCompression({bytes.begin(), bytes.end()}, text) < 0)
      return "(unreadable)";
    return std::string(text.begin(), text.end());
  }
};
}  // namespace

TEST_F(HistoryFixture, SameFileOnceSameNameOneItemThatOpensItsOwnPath) {
  form = Start();
  OpenThroughDialog({clip});
  OpenThroughDialog({clip});
  EXPECT_EQ(Stored(), clip + "\r\n");
  OpenThroughDialog({twin, song});
  EXPECT_EQ(Stored(), clip + "\r\n" + twin + "\r\n" + song + "\r\n");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"clip.mp4", "song.mp3"}));

  // The next run shows the same items; the one name opens the path it was made for.
  form->FormClose();
  form.reset();
  form = Start();
  ASSERT_EQ(Captions(), (std::vector<std::string>{"clip.mp4", "song.mp3"}));
  OpenThroughDialog({twin});
  Items()[0]->trigger();
  EXPECT_EQ(form->session().CurrentMediaFile, clip);
  EXPECT_EQ(form->playList().PlayListPaths, std::vector<std::string>{clip});
  EXPECT_TRUE(form->session().IsPlaying);

  // A file gone since keeps its item and does nothing.
  ::unlink(song.c_str());
  const size_t rendered = graph.rendered.size();
  Items()[1]->trigger();
  EXPECT_EQ(graph.rendered.size(), rendered);
  EXPECT_EQ(form->session().CurrentMediaFile, clip);
  EXPECT_EQ(Captions().size(), 2u);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(HistoryFixture, ClearAtExitLeavesACompressedEmptyList) {
  form = Start();
  OpenThroughDialog({clip});
  form->FormClose();
  EXPECT_EQ(Stored(), clip + "\r\n");  // kept while the choice is off

  form.reset();
  form = Start();
  Find("pClearHistoryExit")->trigger();
  EXPECT_EQ(form->store().ReadInt("File", "ClearHistoryExit"), 1);
  form->FormClose();
  EXPECT_FALSE(platform::ReadWholeFile(HistoryFile()).value().empty());
  EXPECT_EQ(Stored(), "");
  EXPECT_TRUE(Items().empty());
}

TEST_F(HistoryFixture, DamagedFileIsKeptAsideAndThePlayerStartsEmpty) {
  const std::string junk("\x78\x9C garbage\0\r\n\xFF", 14);
  platform::WriteFileAtomically(HistoryFile(), junk);
  form = Start();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].second.find(HistoryFile() + ".damaged"), std::string::npos);
  EXPECT_EQ(platform::ReadWholeFile(HistoryFile() + ".damaged").value(), junk);
  EXPECT_TRUE(Items().empty());
  OpenThroughDialog({clip});
  EXPECT_EQ(Stored(), clip + "\r\n");
  EXPECT_EQ(platform::ReadWholeFile(HistoryFile() + ".damaged").value(), junk);
}

TEST_F(HistoryFixture, EditorsListReplacesTheHistoryOnlyWhenItSaysSo) {
  form = Start();
  OpenThroughDialog({clip, song});
  const std::string temp = root + "/HistoryTemp";
  prompt.historyAnswer = true;
  for (const char* end : {"\r\n", "\n"}) {
    platform::WriteFileAtomically(temp, "/x/one.mp4" + std::string(end) + "/y/two.mp3" + end);
    Find("pManageHistory")->trigger();
    EXPECT_EQ(Stored(), "/x/one.mp4\r\n/y/two.mp3\r\n") << end;
    EXPECT_EQ(Captions(), (std::vector<std::string>{"one.mp4", "two.mp3"})) << end;
  }
  EXPECT_EQ(prompt.historyShown.front(), (std::vector<std::string>{clip, song}));

  prompt.historyAnswer = false;
  platform::WriteFileAtomically(temp, "/z/three.avi\n");
  Find("pManageHistory")->trigger();
  EXPECT_EQ(Stored(), "/x/one.mp4\r\n/y/two.mp3\r\n");
  EXPECT_EQ(Captions().size(), 2u);

  // Said changed but left no file: nothing is left.
  prompt.historyAnswer = true;
  ::unlink(temp.c_str());
  Find("pManageHistory")->trigger();
  EXPECT_EQ(Stored(), "");
  EXPECT_TRUE(Items().empty());
}
