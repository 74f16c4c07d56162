#pragma once

#include <QString>

class QWidget;

// Gives a top-level window its caption and a fixed client size (not resizable).
void MakeFixedWindow(QWidget* window, const QString& caption, int width, int height);

// "Show": visible, modeless, restored if minimised, in front of the other windows.
// A window that is already open is only brought to the front.
void ShowWindow(QWidget* window);
