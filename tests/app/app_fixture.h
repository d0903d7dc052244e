#pragma once
// A main window over a program folder of its own, for window-level tests.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "doc/slots.h"
#include "support/modal.h"

namespace pixora::testing {

inline void WriteFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
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
    // Runs `act` once the next modal dialog is up (support/modal.h).
    static void WhenModal(std::function<void(QWidget*)> act) { WhenModalDialog(QString(), std::move(act)); }
};

} // namespace pixora::testing
