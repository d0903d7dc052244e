#pragma once
// The one screenshot switch of the window tests: when PIXORA_SHOT_DIR is
// set, SaveScreenshot grabs a window into <dir>/<name>.png, so that what a
// test saw can be looked at.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QWidget>

namespace pixora::testing {

inline QString ScreenshotFolder() {
    return QString::fromLocal8Bit(qgetenv("PIXORA_SHOT_DIR"));
}

inline void SaveScreenshot(QWidget* w, const QString& name) {
    const QString dir = ScreenshotFolder();
    if (dir.isEmpty() || !w) return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

inline void Shot(QWidget* w, const QString& name) { SaveScreenshot(w, name); }

} // namespace pixora::testing
