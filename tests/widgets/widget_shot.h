#pragma once

#include <QDir>
#include <QImage>
#include <QWidget>

// Renders a widget as it would appear on screen. With MONIDESK_WIDGET_SHOTS set to a
// folder, the picture is also saved there as <name>.png for a look by eye.
inline QImage widgetShot(QWidget& widget, const QString& name) {
    const QImage image = widget.grab().toImage();
    const QString folder = qEnvironmentVariable("MONIDESK_WIDGET_SHOTS");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
    return image;
}
