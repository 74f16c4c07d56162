#include "widgets/instrument_parts.h"

#include "platform/error_report.h"
#include "widgets/led.h"
#include "widgets/raised_label.h"
#include "widgets/tall_button.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>

namespace {

constexpr QColor kMaroon(128, 0, 0), kOlive(128, 128, 0);
constexpr int kLedSize = 20;

QIcon picture(const QString& name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

} // namespace

QFrame* MakePanel(QWidget* parent, const QRect& geometry) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setGeometry(geometry);
    return frame;
}

RaisedLabel* MakeRaisedLabel(const QString& text, QWidget* parent, const QRect& geometry) {
    auto* label = new RaisedLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

QPushButton* MakeToolButton(QWidget* parent, const QString& caption, const QString& icon,
                            const QRect& geometry, std::function<void()> handler) {
    auto* button = new TallButton(caption, parent);
    button->setIcon(picture(icon));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QPushButton::clicked, button,
                     [handler = std::move(handler)] { ErrorReport::RunHandler(handler); });
    return button;
}

StatusLeds MakeStatusLeds(QWidget* panel, const StatusLedLayout& layout) {
    StatusLeds leds;
    leds.alarm = new Led(panel);
    leds.alarm->setColors(Qt::red, kMaroon);
    leds.sensorError = new Led(panel);
    leds.sensorError->setColors(Qt::yellow, kOlive);
    leds.measurement = new Led(panel);
    const std::array<Led*, 3> rows = {leds.alarm, leds.sensorError, leds.measurement};
    const QString names[] = {QStringLiteral("status_alarm"), QStringLiteral("status_sensor"),
                             QStringLiteral("status_measure")};
    const int size = layout.pictureSize;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int centre = layout.firstCentre + layout.pitch * static_cast<int>(i);
        rows[i]->setGeometry(layout.ledX, centre - kLedSize / 2, kLedSize, kLedSize);
        auto* image = new QLabel(panel);
        image->setPixmap(picture(names[i]).pixmap(size, size));
        image->setGeometry(layout.pictureX, centre - size / 2, size, size);
        leds.pictures[i] = image;
    }
    return leds;
}
