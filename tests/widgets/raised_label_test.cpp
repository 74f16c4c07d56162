#include "paint_counter.h"
#include "widgets/raised_label.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(RaisedLabel, SetTextEmitsAndRepaintsOnlyOnChange) {
    PaintCounted<RaisedLabel> label(QStringLiteral("0.00 °C"));
    label.resize(70, 17);
    label.settle();
    QSignalSpy spy(&label, &RaisedLabel::textChanged);

    label.setText(QStringLiteral("0.00 °C"));
    EXPECT_EQ(label.paintsAfterEvents(), 0);
    EXPECT_EQ(spy.size(), 0);

    label.setText(QStringLiteral("21.5 °C"));
    EXPECT_GE(label.paintsAfterEvents(), 1);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("21.5 °C"));
}

TEST(RaisedLabel, TextAreaLiesInsideTheBevelAndHintFitsTheText) {
    RaisedLabel label(QStringLiteral("STATUS"));
    label.resize(70, 17);
    const QRect inside = label.contentsRectInsideBevel();
    EXPECT_TRUE(label.rect().contains(inside));
    EXPECT_GT(inside.left(), 0);
    EXPECT_LT(inside.bottom(), 16);

    const QSize shortHint = label.sizeHint();
    label.setText(QStringLiteral("A much longer channel name"));
    EXPECT_GT(label.sizeHint().width(), shortHint.width());
    EXPECT_GE(label.sizeHint().width(), label.fontMetrics().horizontalAdvance(label.text()));
    EXPECT_EQ(label.alignment(), Qt::AlignCenter);
}

} // namespace
