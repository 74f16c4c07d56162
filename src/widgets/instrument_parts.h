#pragma once

#include <QRect>
#include <QString>

#include <array>
#include <functional>

class Led;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class RaisedLabel;

// The pieces both instrument windows are built of: raised panels and captions, the
// button column's tall buttons and the status panel's three LEDs with their pictures.

QFrame* MakePanel(QWidget* parent, const QRect& geometry);
RaisedLabel* MakeRaisedLabel(const QString& text, QWidget* parent, const QRect& geometry);

// A tall button with the picture ":/icons/<icon>.svg" above its caption. Clicking runs
// the handler under the general error report; the button never takes the focus.
QPushButton* MakeToolButton(QWidget* parent, const QString& caption, const QString& icon,
                            const QRect& geometry, std::function<void()> handler);

// Where the three status rows sit in their panel: the LEDs at ledX, their pictures at
// pictureX, each row's middle firstCentre + n * pitch from the panel's top.
struct StatusLedLayout {
    int ledX = 0;
    int pictureX = 0;
    int pictureSize = 0;
    int firstCentre = 0;
    int pitch = 0;
};

// Alarm (red), sensor error (yellow) and measurement (green) LEDs, top to bottom,
// each with its picture.
struct StatusLeds {
    Led* alarm = nullptr;
    Led* sensorError = nullptr;
    Led* measurement = nullptr;
    std::array<QLabel*, 3> pictures{};
};

StatusLeds MakeStatusLeds(QWidget* panel, const StatusLedLayout& layout);
