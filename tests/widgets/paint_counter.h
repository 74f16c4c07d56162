#pragma once

#include <QCoreApplication>
#include <QTest>

// Wraps a widget to count its paint events; shown offscreen so update() leads to a paint.
template <typename W> class PaintCounted : public W {
public:
    using W::W;
    int paints = 0;

    // Shows the widget and waits until pending paints are done, then zeroes the count.
    void settle() {
        if (!this->isVisible()) {
            this->show();
            (void)QTest::qWaitForWindowExposed(this);
        }
        QCoreApplication::processEvents();
        paints = 0;
    }
    int paintsAfterEvents() {
        QCoreApplication::processEvents();
        return paints;
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        W::paintEvent(event);
    }
};
