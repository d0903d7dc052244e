#pragma once
// A main window over a program folder of its own, for window-level tests.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <array>
#include <memory>

#include "app/main_window.h"
#include "doc/display_copy.h"
#include "doc/slots.h"
#include "support/folders.h"
#include "support/modal.h"
#include "support/screenshots.h"

namespace pixora::testing {

inline void WriteFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Runs `act` on the modal dialog named `name` as soon as it is up. Looking
// stops once `watching` (when given) turns false, so a dialog that never
// came does not leave a watcher behind for the next one of its name.
inline void WhenDialog(const QString& name, std::function<void(QWidget*)> act,
                       std::shared_ptr<bool> watching = {}, int tries = 3000) {
    QTimer::singleShot(5, [name, act, watching, tries] {
        if (watching && !*watching) return;
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->objectName() == name && w->isVisible())
            act(w);
        else if (tries > 0)
            WhenDialog(name, act, watching, tries - 1);
    });
}

inline void Click(QWidget* window, const char* button) {
    auto* b = window->findChild<QPushButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

// A control of a window by its designer name; a failure when it is missing.
template <class T> T* Child(QWidget* parent, const char* name) {
    T* c = parent->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

struct AppTest : ::testing::Test {
    ScratchDir dir;
    std::unique_ptr<MainWindow> window;

    QString ExeDir() const { return QString::fromStdString(dir.Path().string()) + "/"; }
    QString Path(const QString& rel) const { return ExeDir() + rel; }

    void SetUp() override {
        QDir().mkpath(Path("bin/hstry"));
        QDir().mkpath(Path("bin/save"));
        QDir().mkpath(Path("bin/res"));
    }
    void Start() {
        window = std::make_unique<MainWindow>(ExeDir());
        window->resize(900, 700);
    }
    Workspace& Ws() { return window->Ws(); }
    // What the view shows, pixel for pixel in image coordinates: the display
    // copy, or while it rests the image with its transparency blended as the
    // view paints it.
    Bitmap ShownOnView() {
        Bitmap shown = ShownPicture(Ws());
        if (DisplayCopyRests(Ws()))
            for (int y = 0; y < shown.Height(); ++y)
                for (int x = 0; x < shown.Width(); ++x) {
                    const std::array<uint8_t, 3> c = ShownColour(Ws(), x, y);
                    std::copy(c.begin(), c.end(), shown.Row(y) + 4 * static_cast<std::size_t>(x));
                }
        return shown;
    }
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
};

} // namespace pixora::testing
