// The play list page as the user sees it: tiles in their places, the hover
// tool bar, deleting, emptying, saving, and a list of ten thousand entries.
#include <QApplication>

#include "form_fixture.h"

namespace {
struct PageFixture : FormFixture {
  std::unique_ptr<TOrvaneMain_Form> form;
  void OpenThree() {
    for (const char* name : {"/b.mp4", "/c.mp3"}) platform::WriteFileAtomically(root + name, "x");
    form = Start();
    form->show();
    ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4", root + "/b.mp4", root + "/c.mp3"}));
    QCoreApplication::processEvents();
  }
  std::vector<app::PlayListTile*> Tiles() { return form->playListPage()->VisibleTiles(); }
  QString Label(int index) {
    app::PlayListTile* tile = form->playListPage()->TileOf(index);
    return tile ? tile->label->text() : QString("(none)");
  }
  void Hover(app::PlayListTile* tile) {
    QEnterEvent enter(QPointF(5, 5), tile->mapToGlobal(QPointF(5, 5)), tile->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(tile, &enter);
  }
  void Release(QWidget* w) {
    Send(w, QEvent::MouseButtonPress);
    Send(w, QEvent::MouseButtonRelease);
    QCoreApplication::processEvents();  // delete and empty act after the release
  }
};
}  // namespace

TEST_F(PageFixture, TilesStandInTheirPlacesAndThePlayingOneIsHighlighted) {
  OpenThree();
  EXPECT_TRUE(form->PlayListShown);
  const auto tiles = Tiles();
  ASSERT_EQ(tiles.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const QRect onPage(tiles[i]->mapTo(form->PL_P, QPoint(0, 0)), tiles[i]->size());
    EXPECT_EQ(onPage, QRect(4, 10 + 50 * i, 164, 44)) << i;
  }
  EXPECT_EQ(Label(0), "1. clip.mp4");
  EXPECT_EQ(Label(2), "3. c.mp3");
  EXPECT_EQ(tiles[1]->toolTip().toStdString(), root + "/b.mp4");
  EXPECT_EQ(tiles[0]->icon->PictureFile, "Play_Media_s.bmp");
  EXPECT_EQ(tiles[2]->icon->PictureFile, "Play_Audio.bmp");
  EXPECT_EQ(tiles[0]->label->palette().color(QPalette::WindowText), app::kHighlightColour);
  EXPECT_NE(tiles[1]->label->palette().color(QPalette::WindowText), app::kHighlightColour);
  form->session().PlayNext();
  EXPECT_EQ(tiles[1]->label->palette().color(QPalette::WindowText), app::kHighlightColour);

  // A click on a label plays its entry: the label is what the pointer finds there.
  app::PlayListTile* third = tiles[2];
  const QPoint onLabel = third->label->mapTo(third, third->label->rect().center());
  ASSERT_EQ(third->childAt(onLabel), third->label);
  Send(third->label, QEvent::MouseButtonPress);
  Send(third->label, QEvent::MouseButtonRelease);
  EXPECT_EQ(form->session().CurrentMediaFile, root + "/c.mp3");
  EXPECT_EQ(form->playList().PlayListIndex, 2);
}

TEST_F(PageFixture, DeletingRenumbersAndDeletingThePlayingEntryClosesIt) {
  OpenThree();
  Hover(Tiles()[1]);
  ASSERT_TRUE(form->PLTool_P->isVisible());
  EXPECT_EQ(form->PLTool_P->parentWidget(), Tiles()[1]);
  EXPECT_EQ(form->PLTool_P->geometry(), QRect(2, 22, 160, 20));
  Release(form->DelPlItem_XI);
  EXPECT_TRUE(form->session().IsPlaying);
  EXPECT_EQ(form->playList().Count(), 2);
  EXPECT_EQ(Label(1), "2. c.mp3");
  EXPECT_FALSE(form->PLTool_P->isVisible());

  Hover(Tiles()[0]);
  Release(form->DelPlItem_XI);
  EXPECT_FALSE(form->session().IsPlaying);
  EXPECT_EQ(form->CurMedia_L->text(), "");
  EXPECT_EQ(Label(0), "1. c.mp3");

  Hover(Tiles()[0]);
  Release(form->EmptyPL_XI);
  EXPECT_TRUE(form->playList().Empty());
  EXPECT_TRUE(Tiles().empty());
}

TEST_F(PageFixture, SaveAsWritesEachEntryWithCrLfAndAddsTheExtension) {
  OpenThree();
  prompt.saveAnswer = root + "/mine";
  form->SavePlayListAs();
  EXPECT_EQ(platform::ReadWholeFile(root + "/mine.vmplf").value_or("(missing)"),
            root + "/clip.mp4===0\r\n" + root + "/b.mp4===0\r\n" + root + "/c.mp3===0\r\n");
  // Loading a list closes what plays and keeps it at the end of the list.
  platform::WriteFileAtomically(root + "/other.vmplf", "/x/one.mp4===5\n/X/ONE.mp4===6\n");
  prompt.openAnswer = {root + "/other.vmplf"};
  form->LoadPlayListFile();
  EXPECT_FALSE(form->session().IsPlaying);
  ASSERT_EQ(form->playList().Count(), 2);
  EXPECT_EQ(form->playList().PlayListStartPositions[0], "5");
  EXPECT_EQ(form->playList().PlayListPaths[1], root + "/clip.mp4");
  EXPECT_EQ(Tiles().size(), 2u);
}

TEST_F(PageFixture, TenThousandEntriesMakeOnlyTheTilesInView) {
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "/nowhere/clip-" + std::to_string(i) + ".mp4===0\r\n";
  platform::WriteFileAtomically(folders.project + "/PlayFileList", text);
  form = Start();
  form->show();
  form->playList().LoadStored(folders.project + "/PlayFileList", "", "");
  form->RefreshPlayList(0);
  QCoreApplication::processEvents();
  const size_t rows = static_cast<size_t>(form->PL_P->height() / 50 + 2);
  EXPECT_LE(form->PL_P->findChildren<app::PlayListTile*>().size(), rows);
  // The last entry scrolled into view stands in the bottom row.
  form->RefreshPlayList(9999);
  QCoreApplication::processEvents();
  EXPECT_EQ(Label(9999), "10000. clip-9999.mp4");
  EXPECT_EQ(Label(0), "(none)");
  EXPECT_LE(form->PL_P->findChildren<app::PlayListTile*>().size(), rows);
  form->ScrollListPage(120);
  EXPECT_NE(Label(9998), "(none)");
}
