#include "platform/window_frame.h"

#include <QWidget>

void MakeFixedWindow(QWidget* window, const QString& caption, int width, int height) {
    window->setWindowTitle(caption);
    window->setFixedSize(width, height);
    window->setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void ShowWindow(QWidget* window) {
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}
