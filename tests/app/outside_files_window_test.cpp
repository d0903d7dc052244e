// Files reaching the window from outside (dropped from a file manager or
// named on the command line), and the window of an installed program.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/app_fixture.h"
#include "app/file_drop.h"
#include "io/codecs/image_codecs.h"
#include "io/open_commands.h"
#include "io/read_ahead.h"
#include "window_kit/message_dialog.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

// Presses OK on every open-error report until `count` have been seen; the
// polling ends with the test at the latest.
void AnswerReports(MainWindow* w, int* seen, int count, int tries = 3000) {
    QTimer::singleShot(10, pixora::testing::TestScope(), [=] {
        QWidget* d = QApplication::activeModalWidget();
        if (d && d == w->Messages() && d->isVisible()) {
            ++*seen;
            w->Messages()->OkButton()->click();
            if (*seen >= count) return;
        }
        if (tries > 0) AnswerReports(w, seen, count, tries - 1);
    });
}

struct OutsideFilesWindowTest : AppTest {
    std::string MakePng(const QString& name, int w = 9) {
        const std::string path = Path(name).toStdString();
        Bitmap b(w, 7);
        b.Fill(10, 20, 30);
        WriteImageFile(path, b, 3, SaveOptions{});
        return path;
    }
    static QList<QUrl> Urls(const std::vector<std::string>& files) {
        QList<QUrl> out;
        for (const std::string& f : files)
            out << QUrl::fromLocalFile(QString::fromStdString(f));
        return out;
    }
    // Drags `data` over the window and lets go; returns whether the window
    // took the drag, then lets the queued opening run.
    bool Drop(const QMimeData& data) {
        const QPoint at(window->width() / 2, window->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction); // the file manager keeps its files
        QApplication::processEvents();
        return true;
    }
};

} // namespace

TEST_F(OutsideFilesWindowTest, DroppedImageFilesOpenEachInItsOwnTab) {
    Start();
    EXPECT_TRUE(window->acceptDrops());
    const std::string a = MakePng("a.png", 9), b = MakePng("b.png", 12);
    QDir().mkpath(Path("folder"));
    QMimeData data;
    QList<QUrl> urls = Urls({a, Path("folder").toStdString(), b});
    urls.insert(1, QUrl("https://example.org/c.png"));
    data.setUrls(urls);
    ASSERT_TRUE(Drop(data));

    EXPECT_EQ(Ws().SysData.OpenCount, 1);
    ASSERT_TRUE(window->Pages()->isTabVisible(0) && window->Pages()->isTabVisible(1));
    EXPECT_FALSE(window->Pages()->isTabVisible(2));
    EXPECT_EQ(window->Pages()->tabText(0), "a.png");
    EXPECT_EQ(window->Pages()->tabText(1), "b.png");
    EXPECT_EQ(window->Pages()->currentIndex(), 1);
    EXPECT_EQ(Ws().Images[1].Bitmap.Width(), 12);
    // The recent menus show both, newest first.
    EXPECT_EQ(Cmd("FilesHere1")->text().toStdString(), b);
    EXPECT_EQ(Cmd("FilesHere2")->text().toStdString(), a);
    EXPECT_TRUE(Cmd("FileHere1")->isVisible());
}

TEST_F(OutsideFilesWindowTest, DragsWithoutLocalFilesAreRefused) {
    Start();
    QMimeData text;
    text.setText("/not/a/url.png");
    EXPECT_FALSE(Drop(text));
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/a.png")});
    EXPECT_FALSE(Drop(remote));
    QMimeData folder;
    folder.setUrls({QUrl::fromLocalFile(ExeDir())});
    EXPECT_FALSE(Drop(folder));
    EXPECT_EQ(Ws().SysData.OpenCount, -1);
}

TEST_F(OutsideFilesWindowTest, EachFailedFileIsReportedAndTheRestStillOpen) {
    Start();
    const std::string good = MakePng("good.png");
    const std::string bad = Path("bad.png").toStdString();
    pixora::testing::WriteFile(QString::fromStdString(bad), "not a picture");
    int seen = 0;
    AnswerReports(window.get(), &seen, 2);
    OpenFilesFromOutside(*window, {bad, good, Path("missing.jpg").toStdString()});
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(Ws().SysData.OpenCount, 0);
    EXPECT_EQ(window->Pages()->tabText(0), "good.png");
    EXPECT_EQ(window->Messages()->Label()->text(), "Could Not Open File due to an Error while Opening.");
    EXPECT_EQ(Cmd("FilesHere1")->text(), Path("missing.jpg"));
}

TEST_F(OutsideFilesWindowTest, DroppedFilesThatAreNotImagesAreReportedAndClaimNoSlot) {
    Start();
    const std::string good = MakePng("good.png");
    pixora::testing::WriteFile(Path("notes.txt"), "a shopping list\n");
    pixora::testing::WriteFile(Path("empty.png"), QByteArray());
    // A BMP header asking for 60000 x 60000 pixels of 24 bits, and no pixels.
    QByteArray huge(54, '\0');
    auto put32 = [&huge](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            huge[at + i] = static_cast<char>(v >> (8 * i) & 255);
    };
    huge[0] = 'B', huge[1] = 'M';
    put32(2, 54), put32(10, 54), put32(14, 40), put32(18, 60000), put32(22, 60000);
    huge[26] = 1, huge[28] = 24;
    pixora::testing::WriteFile(Path("huge.bmp"), huge);
    int seen = 0;
    AnswerReports(window.get(), &seen, 3);
    QMimeData data;
    data.setUrls(Urls({Path("notes.txt").toStdString(), Path("empty.png").toStdString(),
                       Path("huge.bmp").toStdString(), good}));
    ASSERT_TRUE(Drop(data));
    EXPECT_EQ(seen, 3) << "each bad file is reported";
    EXPECT_EQ(Ws().SysData.OpenCount, 0);
    EXPECT_EQ(window->Pages()->tabText(0), "good.png");
    for (int slot = 1; slot < kSlotCount; ++slot)
        EXPECT_FALSE(Ws().Images[static_cast<std::size_t>(slot)].InUse) << slot;
    // Every other slot is still there to be claimed.
    for (int slot = 1; slot < kMaxOpenImages; ++slot)
        ASSERT_EQ(LoadIntoNewSlot(Ws(), good), slot);
}

// The window of a program installed under PREFIX: its data comes from
// PREFIX/share/pixora, what it writes goes to the XDG folders.
struct InstalledWindowTest : OutsideFilesWindowTest {
    std::map<QByteArray, QByteArray> saved;
    QString Xdg(const QString& rel) const { return ExeDir() + "xdg/" + rel; }
    void SetUp() override {
        QDir().mkpath(Path("prefix/bin"));
        QDir().mkpath(Path("prefix/share/pixora/res"));
        QDir().mkpath(Xdg("run"));
        ASSERT_TRUE(QFile::copy(QString(PIXORA_SOURCE_DIR) + "/data/bin/res/3.cur",
                                Path("prefix/share/pixora/res/3.cur")));
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            saved[name] = qgetenv(name);
            qputenv(name, Xdg(QString(name).section('_', 1, 1).toLower()).toUtf8());
        }
        qputenv("XDG_RUNTIME_DIR", Xdg("run").toUtf8());
    }
    void TearDown() override {
        window.reset();
        for (const auto& [name, value] : saved)
            if (value.isEmpty())
                qunsetenv(name.constData());
            else
                qputenv(name.constData(), value);
    }
};

TEST_F(InstalledWindowTest, ReadsItsDataFromTheSharedFolderAndWritesIntoTheXdgFolders) {
    window = std::make_unique<MainWindow>(Path("prefix/bin/"));
    EXPECT_EQ(Ws().Paths().Layout, TPathLayout::Desktop);
    EXPECT_TRUE(window->Cursors().Loaded(3));
    EXPECT_TRUE(QFileInfo(Xdg("cache/pixora/hstry")).isDir());
    EXPECT_FALSE(QFileInfo::exists(Xdg("run/pixora")));
    const std::string a = MakePng("a.png");
    OpenFilesFromOutside(*window, {a});
    ASSERT_EQ(Ws().SysData.OpenCount, 0);
    QFile recent(Xdg("config/pixora/files.txt"));
    ASSERT_TRUE(recent.open(QIODevice::ReadOnly));
    EXPECT_EQ(recent.readAll(), QByteArray::fromStdString(a + "\r\n"));
    // Nothing was written beside the program.
    EXPECT_FALSE(QFileInfo::exists(Path("prefix/bin/bin")));
    EXPECT_EQ(QDir(Path("prefix/bin")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

// Records whether a widget was shown at some time.
class ShownProbe : public QObject {
public:
    bool Shown = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) Shown = true;
        return false;
    }
};

TEST_F(OutsideFilesWindowTest, AFileReadAheadIsWaitedForWithTheWindowAliveAndProgressShownWhenSlow) {
    Start();
    ProcessingBox* box = window->Processing();
    ShownProbe probe;
    box->installEventFilter(&probe);
    Bitmap pixels(12, 8);
    pixels.Fill(10, 20, 30, 0);
    int painted = 0;
    // A read that takes longer than the progress threshold.
    ReadAhead ahead;
    const std::string path = Path("slow.png").toStdString();
    ahead.Start(path, [&](const std::string&, int) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kOpenProgressAfterMs + 250));
        return pixels;
    });
    // The window goes on processing its events meanwhile.
    QTimer::singleShot(50, window.get(), [&] { ++painted; });
    OpenFilesFromOutside(*window, {path}, &ahead);
    EXPECT_EQ(painted, 1);
    EXPECT_TRUE(probe.Shown);
    EXPECT_FALSE(box->isVisible());
    ASSERT_EQ(Ws().SysData.OpenCount, 0);
    EXPECT_EQ(Ws().Images[0].Bitmap.Width(), 12);
    EXPECT_EQ(window->Pages()->tabText(0), "slow.png");

    // One read over a few ticks but under the threshold shows no box.
    probe.Shown = false;
    ahead.Start(Path("quick.png").toStdString(), [&](const std::string&, int) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kOpenProgressAfterMs / 3));
        return pixels;
    });
    OpenFilesFromOutside(*window, {Path("quick.png").toStdString()}, &ahead);
    EXPECT_FALSE(probe.Shown);
    EXPECT_EQ(Ws().SysData.OpenCount, 1);
}
