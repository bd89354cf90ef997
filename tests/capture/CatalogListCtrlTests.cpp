// The gallery list with real files in a temporary folder: filling and sorting, adding, selection, the
// requests it hands its owner, hover with tooltip and animation, thumbnails built in the background and
// the thumbnail cache, on a fake clock.
#include "capture/CAnimatedImage.h"
#include "capture/CCatalogListCtrl.h"
#include "capture/CCatalogThumbnail.h"
#include "capture/CThumbnailLoader.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CToolTip.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

using L = CCatalogListCtrl;

// Orders like the capture galleries (newest first) and records what it is asked to do.
class NewestFirstList : public CCatalogListCtrl {
public:
    using CCatalogListCtrl::SortItems;
    int opens = 0;
    int deletes = 0;
    std::vector<QPoint> menus;

protected:
    int CompareItems(const CCatalogItem& a, const CCatalogItem& b) const override {
        if (a.lastWriteTime < b.lastWriteTime)
            return 1;
        return a.lastWriteTime > b.lastWriteTime ? -1 : 0;
    }
    void OnOpenRequested() override { ++opens; }
    void OnContextMenuRequested(const QPoint& globalPos) override { menus.push_back(globalPos); }
    void OnDeleteRequested() override { ++deletes; }
};

class CatalogListTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        SetTimerService(&timers);
        folder = env.Path("Pictures");
        QDir().mkpath(QString::fromStdString(folder));
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        jpeg = env.Path("template.jpg");
        ASSERT_TRUE(picture.save(QString::fromStdString(jpeg), "JPG"));
        list = std::make_unique<NewestFirstList>();
        list->resize(400, 300);
        list->show();
    }
    void TearDown() override {
        list.reset();
        SetTimerService(nullptr);
        SetClock(nullptr);
    }

    // A picture in the folder, last changed `minutesAgo` before a fixed moment.
    std::string Add(const std::string& name, int minutesAgo, const std::string& from = {}) {
        const std::string path = folder + "/" + name;
        const QString target = QString::fromStdString(path);
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(QString::fromStdString(from.empty() ? jpeg : from), target)) << name;
        QFile file(target);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1'800'000'000).addSecs(-60 * minutesAgo);
        EXPECT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
        return path;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < list->ItemCount(); ++i)
            names.push_back(QFileInfo(QString::fromStdString(list->Item(i)->path)).fileName().toStdString());
        return names;
    }
    QPoint CentreOf(int row) const { return list->visualRect(list->model()->index(row, 0)).center(); }
    void MoveTo(const QPoint& viewportPos) {
        QCursor::setPos(list->viewport()->mapToGlobal(viewportPos));
        QMouseEvent move(QEvent::MouseMove, viewportPos, list->viewport()->mapToGlobal(viewportPos),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &move);
    }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(list.get(), &press);
    }
    void Paint() {
        DrainEvents();
        list->grab();
    }
    bool AnyPending() const {
        for (int i = 0; i < list->ItemCount(); ++i)
            if (list->IsThumbnailPending(i))
                return true;
        return false;
    }
    // Waits for the background builds to be delivered; a movie read ends by its own deadline at the latest.
    void FinishBackgroundBuilds() {
        ASSERT_TRUE(PumpUntil([this] { return !AnyPending(); }, 30000));
        ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
        DrainEvents();
    }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::string folder;
    std::string jpeg;
    std::unique_ptr<NewestFirstList> list;
};

TEST_F(CatalogListTest, FillTakesMatchingFilesNewestFirstAndFocusesTheFirst) {
    Add("Picture 1.jpg", 30);
    Add("picture 2.JPG", 10);
    Add("Picture 3.jpg", 20);
    Add("Video 1.wmv", 5);
    Add("Snapshot.jpg", 1);
    QDir().mkpath(QString::fromStdString(folder + "/Picture folder.jpg"));

    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"picture 2.JPG", "Picture 3.jpg", "Picture 1.jpg"}));
    EXPECT_EQ(list->FocusedItem(), 0);
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{0});
    EXPECT_FALSE(list->IsBusy());
    EXPECT_TRUE(list->IsTimerRunning(L::kCacheTrimTimerId));
    const CCatalogItem* newest = list->Item(0);
    EXPECT_EQ(newest->path, folder + "/picture 2.JPG");
    EXPECT_EQ(newest->size, QFileInfo(QString::fromStdString(jpeg)).size());
    EXPECT_EQ(newest->lastWriteTime, (1'800'000'000LL - 600) * 1000);
    EXPECT_FALSE(list->HasThumbnail(0)) << "thumbnails wait for the first paint";

    // A second pattern adds to the same list, sorted together.
    Add("Motion 1.wmv", 15);
    ASSERT_EQ(list->FillFromFolder(folder, "Motion*.wmv"), S_OK);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"picture 2.JPG", "Motion 1.wmv", "Picture 3.jpg", "Picture 1.jpg"}));
    EXPECT_TRUE(list->Item(1)->motionClip);
    EXPECT_FALSE(list->Item(0)->motionClip);

    // Folders that cannot be read fail and leave the list as it was; an empty one is fine.
    QDir().mkpath(QString::fromStdString(env.Path("empty")));
    for (const std::string& bad : {env.Path("no such folder"), newest->path, std::string()})
        EXPECT_EQ(list->FillFromFolder(bad, "Picture*.jpg"), E_FAIL) << bad;
    EXPECT_EQ(list->FillFromFolder(env.Path("empty"), "Picture*.jpg"), S_OK);
    EXPECT_EQ(list->ItemCount(), 4);
}

TEST_F(CatalogListTest, AddFileRefusesDuplicatesAndUnreadableFilesAndSelectsTheNewItem) {
    for (int i = 1; i <= 5; ++i)
        Add("Picture " + std::to_string(i) + ".jpg", 100 + i);
    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    list->SelectItem(3, true);

    const std::string fresh = Add("Picture 6.jpg", 0);
    ASSERT_TRUE(list->AddFile(fresh));
    EXPECT_EQ(list->FindItem(fresh), 0) << "the newest goes first";
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{0}) << "only the new item is selected";
    EXPECT_EQ(list->FocusedItem(), 0);

    const std::string upper = folder + "/PICTURE 6.jpg";
    EXPECT_EQ(list->FindItem(upper), 0);
    for (const std::string& refused : {upper, fresh, folder + "/gone.jpg", folder, std::string()})
        EXPECT_FALSE(list->AddFile(refused)) << refused;
    EXPECT_EQ(list->ItemCount(), 6);
}

TEST_F(CatalogListTest, AnItemSortedFarDownALongListIsSelectedAndScrolledTo) {
    for (int i = 0; i < 2100; ++i) {
        const std::string path = folder + "/Picture " + std::to_string(i) + ".jpg";
        ASSERT_TRUE(QFile::link(QString::fromStdString(jpeg), QString::fromStdString(path)));
    }
    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    const std::string oldest = Add("Old.jpg", 100000);
    ASSERT_TRUE(list->AddFile(oldest));
    ASSERT_EQ(list->FindItem(oldest), 2100);
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{2100});
    EXPECT_TRUE(list->viewport()->rect().intersects(list->visualRect(list->model()->index(2100, 0))));
}

TEST_F(CatalogListTest, SelectionAndFocusFollowItemsWhenTheyAreSortedAgain) {
    const std::string a = Add("Picture 1.jpg", 10);
    const std::string b = Add("Picture 2.jpg", 20);
    ASSERT_TRUE(list->AddFile(b));
    ASSERT_TRUE(list->AddFile(a));
    ASSERT_EQ(Names(), (std::vector<std::string>{"Picture 1.jpg", "Picture 2.jpg"}));
    // b changed since it was listed: the next sort puts it first.
    list->Item(list->FindItem(b))->lastWriteTime = (1'800'000'000LL - 60) * 1000;
    list->ClearSelection();
    list->SelectItem(1, true);
    list->SortItems();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Picture 2.jpg", "Picture 1.jpg"}));
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{0});
    EXPECT_EQ(list->FocusedItem(), 1);

    ASSERT_TRUE(list->AddFile(Add("Picture 3.jpg", 30)));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Picture 2.jpg", "Picture 1.jpg", "Picture 3.jpg"}));
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{2}) << "the added item, wherever it went";
    EXPECT_EQ(list->FocusedItem(), 2);
}

TEST_F(CatalogListTest, RemoveSelectAndClear) {
    for (int i = 1; i <= 5; ++i)
        Add("Picture " + std::to_string(i) + ".jpg", i);
    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    list->ClearSelection();
    for (const auto& [row, selected] : {std::pair{4, true}, {1, true}, {2, true}, {2, false}, {7, true}})
        list->SelectItem(row, selected);
    EXPECT_EQ(list->SelectedItems(), (std::vector<int>{1, 4}));

    list->RemoveItem(1);
    list->RemoveItem(-1);
    list->RemoveItem(4);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"Picture 1.jpg", "Picture 3.jpg", "Picture 4.jpg", "Picture 5.jpg"}));
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{3});

    list->Rearrange();
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{0});
    EXPECT_EQ(list->FocusedItem(), 0);

    list->SetBusy(true);
    list->Clear();
    EXPECT_EQ(list->ItemCount(), 0);
    EXPECT_TRUE(list->IsBusy()) << "the owner's busy state is its own";
    EXPECT_FALSE(list->IsTimerRunning(L::kCacheTrimTimerId));
    EXPECT_EQ(list->FocusedItem(), -1);
    list->SetBusy(false);
}

TEST_F(CatalogListTest, OwnerIsAskedToOpenDeleteAndShowItsMenu) {
    Add("Picture 1.jpg", 1);
    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    DrainEvents();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Delete})
        Key(key);
    EXPECT_EQ(list->opens, 2);
    EXPECT_EQ(list->deletes, 1);

    // A double click opens only over an item.
    for (const QPoint& at : {CentreOf(0), QPoint(390, 290)})
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(list->viewport(), &click);
        }
    EXPECT_EQ(list->opens, 3);

    QContextMenuEvent menu(QContextMenuEvent::Mouse, CentreOf(0), QPoint(321, 123));
    QCoreApplication::sendEvent(list->viewport(), &menu);
    EXPECT_EQ(list->menus, std::vector<QPoint>{QPoint(321, 123)});
}

TEST_F(CatalogListTest, HoverShowsTheFileTooltipUntilTheCursorLeaves) {
    Add("Picture 1.jpg", 1);
    Add("Picture 2.jpg", 2);
    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    list->Item(1)->toolTip = "A tip of its own";
    DrainEvents();

    MoveTo(CentreOf(0));
    EXPECT_EQ(list->HotItem(), 0);
    CToolTip* tip = CToolTip::Find(list->viewport());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Text().left(25), QString("Picture 1.jpg\nType: Photo"));
    EXPECT_EQ(tip->MaxWidth(), 500);
    EXPECT_EQ(tip->DisplayTime(), 500000);
    EXPECT_TRUE(list->IsTimerRunning(L::kHoverLeaveTimerId));
    EXPECT_FALSE(list->IsTimerRunning(L::kAnimationTimerId)) << "a still photo does not animate";

    MoveTo(CentreOf(1));
    EXPECT_EQ(list->HotItem(), 1);
    EXPECT_EQ(tip->Text(), QString("A tip of its own"));

    timers.Advance(500);
    EXPECT_EQ(list->HotItem(), 1) << "the cursor is still over the list";
    // The cursor leaves without the list seeing a move: the next poll notices.
    QCursor::setPos(list->viewport()->mapToGlobal(QPoint(-50, -50)));
    timers.Advance(99);
    EXPECT_EQ(list->HotItem(), 1);
    timers.Advance(1);
    EXPECT_EQ(list->HotItem(), -1);
    EXPECT_FALSE(list->IsTimerRunning(L::kHoverLeaveTimerId));
    EXPECT_TRUE(tip->Text().isEmpty()) << "coming back over the empty part shows no stale tip";

    MoveTo(CentreOf(0));
    MoveTo(QPoint(390, 290));
    EXPECT_EQ(list->HotItem(), -1) << "the empty part of the list";
    EXPECT_TRUE(tip->Text().isEmpty());
}

TEST_F(CatalogListTest, AnAnimatedPictureUnderTheCursorPlays) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::string gif = Add("Picture 1.gif", 1, TestMediaDir() + "/gif-anim-31frames-100ms-320x240.gif");
    ASSERT_TRUE(list->AddFile(gif));
    Paint();
    const QImage still = list->Item(0)->thumbnail;
    ASSERT_FALSE(still.isNull());

    MoveTo(CentreOf(0));
    const CAnimatedImage* animation = list->HotAnimation();
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(list->IsTimerRunning(L::kAnimationTimerId));
    timers.Advance(99);
    EXPECT_EQ(animation->CurrentFrame(), 0);
    timers.Advance(33); // the first tick past 100 ms
    EXPECT_EQ(animation->CurrentFrame(), 1);
    EXPECT_EQ(list->Item(0)->thumbnail, still) << "frames are drawn over, the cached thumbnail stays";

    QCursor::setPos(list->viewport()->mapToGlobal(QPoint(-5, -5)));
    timers.Advance(100);
    EXPECT_EQ(list->HotAnimation(), nullptr);
    EXPECT_FALSE(list->IsTimerRunning(L::kAnimationTimerId));
}

TEST_F(CatalogListTest, PictureThumbnailsAreMadeWhenDrawnAndBadFilesDoNotStopTheList) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Add("Picture 1.jpg", 1);
    Add("Picture 2.jpg", 2, TestMediaDir() + "/jpeg-bomb-65535x65535-186bytes.jpg");
    Add("Picture 3.jpg", 3, TestMediaDir() + "/jpeg-12bit-sof1-149x227.jpg");
    Add("Picture 4.jpg", 4, TestMediaDir() + "/MANIFEST.md");
    Add("Picture 5.jpg", 5, TestMediaDir() + "/jpeg-exif-orientation6-1200x1800.jpg");
    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    Paint();
    EXPECT_EQ(list->Item(0)->thumbnail.size(), QSize(100, 75));
    EXPECT_EQ(list->Item(0)->thumbnail.pixel(0, 0), 0xFF868686);
    for (int i : {1, 2, 3})
        EXPECT_FALSE(list->HasThumbnail(i) || list->IsThumbnailPending(i)) << i;
    ASSERT_TRUE(list->HasThumbnail(4));
    EXPECT_EQ(list->Item(4)->thumbnail.pixel(50, 2), 0xFFFFFFFF) << "the turned photo is shown landscape";

    list->SetThumbnailSize(60, 45);
    EXPECT_FALSE(list->HasThumbnail(0)) << "thumbnails of the old size are dropped";
    Paint();
    EXPECT_EQ(list->Item(0)->thumbnail.size(), QSize(60, 45));
}

TEST_F(CatalogListTest, MoviesAreDrawnEmptyUntilTheirThumbnailComesFromTheBackground) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::string media = TestMediaDir();
    Add("Picture 1.jpg", 1);
    const std::string movie = Add("Video 1.wmv", 2, media + "/wmv3-wma2-320x240-moviemaker21.wmv");
    const std::string clip = Add("Motion 1.wmv", 3, media + "/wmv3-wma2-320x240-moviemaker21.wmv");
    const std::string broken = Add("Video 2.wmv", 4, media + "/broken-headeronly-wvp2-wma-photostory3.wmv");
    const std::string removed = Add("Video 3.asf", 5, media + "/wmv1-wma2-160x120-wmfsdk7.wmv");
    ASSERT_EQ(list->FillFromFolder(folder, "*"), S_OK);
    ASSERT_EQ(list->ItemCount(), 5);
    Paint();
    // The paint did not wait for any movie: each is still being read, the picture is there already.
    EXPECT_TRUE(list->HasThumbnail(0));
    for (int i = 1; i < 5; ++i) {
        EXPECT_FALSE(list->HasThumbnail(i)) << i;
        EXPECT_TRUE(list->IsThumbnailPending(i)) << i;
    }
    // Meanwhile the items move and one goes: results find their items by path.
    list->Item(list->FindItem(broken))->lastWriteTime = (1'800'000'000LL + 60) * 1000;
    list->SortItems();
    ASSERT_EQ(list->FindItem(broken), 0);
    list->RemoveItem(list->FindItem(removed));
    FinishBackgroundBuilds();

    const QImage expected = CCatalogThumbnail::FromFile(movie, list->ThumbnailSize());
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(list->Item(list->FindItem(movie))->thumbnail, expected);
    const QImage badged = list->Item(list->FindItem(clip))->thumbnail;
    EXPECT_EQ(badged.size(), expected.size());
    EXPECT_NE(badged, expected) << "the motion clip wears its badge";
    EXPECT_FALSE(list->HasThumbnail(0)) << "the broken movie stays an empty frame";
    Paint();
    EXPECT_FALSE(list->IsThumbnailPending(0)) << "and is not read again at every paint";
}

TEST_F(CatalogListTest, MoviesScrolledAwayBeforeTheirTurnAreNotRead) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const QString source = QString::fromStdString(TestMediaDir() + "/wmv1-wma2-160x120-wmfsdk7.wmv");
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(
            QFile::link(source, QString::fromStdString(folder + "/Video " + std::to_string(i) + ".wmv")));
    ASSERT_EQ(list->FillFromFolder(folder, "*.wmv"), S_OK);
    Paint();
    std::vector<int> asked;
    for (int i = 0; i < list->ItemCount(); ++i)
        if (list->IsThumbnailPending(i))
            asked.push_back(i);
    ASSERT_GT(asked.size(), size_t(CThumbnailLoader::kMaxRunning)) << "what the first screen shows";

    list->scrollToBottom();
    Paint();
    FinishBackgroundBuilds();
    // The first ones had started and were finished; the rest of the first screen was never read.
    int built = 0;
    for (int i : asked)
        built += list->HasThumbnail(i) ? 1 : 0;
    EXPECT_EQ(built, CThumbnailLoader::kMaxRunning);
    EXPECT_TRUE(list->HasThumbnail(list->ItemCount() - 1)) << "the screen scrolled to";
}

TEST_F(CatalogListTest, ClearingOrClosingTheListWhileMoviesAreReadIsSafe) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Add("Video 1.wmv", 1, TestMediaDir() + "/broken-headeronly-wvp2-wma-photostory3.wmv");
    Add("Video 2.wmv", 2, TestMediaDir() + "/wmv3-wma2-320x240-moviemaker21.wmv");
    ASSERT_EQ(list->FillFromFolder(folder, "*.wmv"), S_OK);
    Paint();
    ASSERT_TRUE(AnyPending());
    list->Clear();
    ASSERT_EQ(list->FillFromFolder(folder, "*.wmv"), S_OK);
    Paint();
    EXPECT_TRUE(list->IsThumbnailPending(1)) << "the new items are read again, not left to cancelled reads";
    list.reset();
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
}

TEST_F(CatalogListTest, WithMoreThan149ItemsHiddenThumbnailsGoAfter20SecondsAndComeBackWhenDrawn) {
    for (int i = 0; i < 149; ++i) {
        const std::string path = folder + "/Picture " + std::to_string(i) + ".jpg";
        ASSERT_TRUE(QFile::link(QString::fromStdString(jpeg), QString::fromStdString(path)));
    }
    ASSERT_EQ(list->FillFromFolder(folder, "Picture*.jpg"), S_OK);
    Paint();
    auto drawAll = [this] {
        // Every item drawn once, as after scrolling through the whole list.
        for (int i = 0; i < list->ItemCount(); ++i)
            list->Item(i)->thumbnail = list->Item(0)->thumbnail;
    };
    auto cached = [this] {
        int n = 0;
        for (int i = 0; i < list->ItemCount(); ++i)
            n += list->HasThumbnail(i) ? 1 : 0;
        return n;
    };
    drawAll();
    timers.Advance(60000);
    EXPECT_EQ(cached(), 149) << "149 items are kept";

    ASSERT_TRUE(list->AddFile(Add("Picture 149.jpg", 0)));
    Paint();
    drawAll();
    list->scrollToTop();
    timers.Advance(L::kCacheTrimIntervalMs - 1);
    EXPECT_EQ(cached(), 150);
    timers.Advance(1);
    EXPECT_TRUE(list->HasThumbnail(0)) << "on screen";
    EXPECT_FALSE(list->HasThumbnail(149));
    EXPECT_GT(cached(), 0);
    EXPECT_LT(cached(), 20) << "only what a 400 x 300 list shows";
    EXPECT_EQ(list->ThumbnailBytes(), cached() * qint64(100 * 75 * 4));
    EXPECT_TRUE(list->IsTimerRunning(L::kCacheTrimTimerId));

    list->scrollToBottom();
    Paint();
    EXPECT_TRUE(list->HasThumbnail(149)) << "made again when drawn again";
}

} // namespace
