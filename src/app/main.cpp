#include <QApplication>
#include <QScreen>

#include "app/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pixora 1.0.0.1");
    pixora::MainWindow window;
    QApplication::setApplicationName("Pixora");
    // Without a window manager "maximised" means nothing: size it to the
    // screen first.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return app.exec();
}
