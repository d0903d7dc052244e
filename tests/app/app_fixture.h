#pragma once
// A main window over a program folder of its own, for window-level tests.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "doc/slots.h"

namespace pixora::testing {

inline void WriteFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A control of a window by its designer name; a failure when it is missing.
template <class T> T* Child(QWidget* parent, const char* name) {
    T* c = parent->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

struct AppTest : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;

    QString ExeDir() const { return dir.path() + "/"; }
    QString Path(const QString& rel) const { return ExeDir() + rel; }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(Path("bin/hstry"));
        QDir().mkpath(Path("bin/save"));
        QDir().mkpath(Path("bin/res"));
    }
    void Start() {
        window = std::make_unique<MainWindow>(ExeDir());
        window->resize(900, 700);
    }
    Workspace& Ws() { return window->Ws(); }
    QAction* Cmd(const QString& name) {
        QAction* a = window->Command(name);
        EXPECT_NE(a, nullptr) << name.toStdString();
        return a;
    }
    int NewImage(int w = 40, int h = 30) {
        const int slot = ClaimSlot(Ws());
        if (slot >= 0) FillSlot(Ws(), slot, Bitmap(w, h), SlotSource{});
        return slot;
    }
    // Saves a picture of a window as NAME.png into the folder that
    // PIXORA_SCREENSHOTS names (for looking at it); nothing without it.
    static void Screenshot(QWidget* w, const QString& name) {
        const QByteArray dir = qgetenv("PIXORA_SCREENSHOTS");
        if (!dir.isEmpty()) w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
    }
    // How many modal windows `act` brings up (the first is closed at once).
    static int ModalWindowsOf(const std::function<void()>& act) {
        int shown = 0;
        WhenModal([&shown](QWidget* d) {
            ++shown;
            d->close();
        });
        act();
        QCoreApplication::processEvents(); // without a window the timer goes off here
        return shown;
    }
    // Runs `act` once the next modal dialog is up.
    static void WhenModal(std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [act] {
            QWidget* w = QApplication::activeModalWidget();
            if (w) act(w);
        });
    }
};

} // namespace pixora::testing
