// Pictures exchanged with another program through the X11 clipboard, here
// xclip. Runs only on the X platform: ctest runs this file once more as the
// test labelled x11, with QT_QPA_PLATFORM=xcb, which CI runs under
// xvfb-run. Offscreen there is no other program to talk to, so it skips.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

#include "io/codecs/format_codecs.h"
#include "support/corpus.h"
#include "support/folders.h"
#include "tools/clipboard_image.h"

using namespace pixora;

namespace {

// Skips offscreen; on the X platform xclip must be there (under CI a
// missing one fails the test).
#define NEED_EXCHANGE()                                                                                      \
    do {                                                                                                     \
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs the X platform (label x11)";   \
        PIXORA_NEED(!QStandardPaths::findExecutable("xclip").isEmpty(), "xclip");                          \
    } while (0)

// A picture with opaque, half and fully transparent pixels.
Bitmap Sample() {
    Bitmap b(5, 3, 32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            uint8_t* p = b.Row(y) + x * 4;
            p[0] = static_cast<uint8_t>(x * 50), p[1] = static_cast<uint8_t>(y * 100), p[2] = 77;
            p[3] = static_cast<uint8_t>(x == 0 ? 0 : x == 1 ? 128 : 255);
        }
    return b;
}

bool Same(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const uint8_t *p = a.Row(y) + x * 4, *q = b.Row(y) + x * 4;
            // Colours of fully transparent pixels need not survive.
            if (p[3] != q[3] || (p[3] != 255 && std::memcmp(p, q, 3) != 0)) return false;
        }
    return true;
}

// Runs a program while the event loop keeps serving our clipboard.
QByteArray RunXclip(const QStringList& args) {
    QProcess p;
    p.start("xclip", args);
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        p.waitForFinished(20);
    }
    return p.readAllStandardOutput();
}

} // namespace

TEST(ClipboardExchange, APictureCopiedHereIsReadByAnotherProgram) {
    NEED_EXCHANGE();
    QGuiApplication::clipboard()->setMimeData(PictureMimeData(Sample()));
    const QByteArray png = RunXclip({"-selection", "clipboard", "-t", "image/png", "-o"});
    ASSERT_FALSE(png.isEmpty());
    const Bitmap back = png::ReadMemory(reinterpret_cast<const uint8_t*>(png.constData()), png.size());
    EXPECT_TRUE(Same(back, Sample()));
}

TEST(ClipboardExchange, APictureCopiedElsewhereIsReadHere) {
    NEED_EXCHANGE();
    pixora::testing::ScratchDir dir;
    const std::string file = dir.File("sample.png");
    png::Write(file, Sample());
    // xclip serves the selection in the foreground (-quiet) as our own child, so that it
    // never outlives the test holding the output that ctest waits on.
    QProcess owner;
    owner.setStandardOutputFile(QProcess::nullDevice());
    owner.setStandardErrorFile(QProcess::nullDevice());
    owner.start("xclip", {"-quiet", "-selection", "clipboard", "-t", "image/png", "-i",
                          QString::fromStdString(file)});
    ASSERT_TRUE(owner.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    TClipboardPicture got;
    while (t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        got = ReadPicture(QGuiApplication::clipboard()->mimeData());
        if (!got.Pixels.Empty()) break;
    }
    EXPECT_TRUE(got.Problem.empty()) << got.Problem;
    EXPECT_TRUE(Same(got.Pixels, Sample()));
    owner.kill();
    owner.waitForFinished(5000);
}
