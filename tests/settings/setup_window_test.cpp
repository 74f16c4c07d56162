#include "settings/settings.h"
#include "settings/setup.h"
#include "widgets/radio_group.h"

#include <QCheckBox>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

class SetupWindow : public ::testing::Test {
protected:
    void SetUp() override { ResetSettings(); }
    void TearDown() override { ResetSettings(); }
    TfmSetup setup;
};

TEST_F(SetupWindow, ShowsThePortAndFirmwareSettings) {
    settings.GL_COM = 3;
    settings.CHK_V300 = true;
    setup.show();
    EXPECT_TRUE(setup.rg_port->button(3)->isChecked());
    EXPECT_TRUE(setup.chk_v300->isChecked());
    EXPECT_FALSE(setup.chk_v264->isChecked());
    EXPECT_EQ(settings.GL_COM, 3);
}

TEST_F(SetupWindow, PortChoiceIsWrittenAtOnce) {
    setup.show();
    EXPECT_TRUE(setup.rg_port->button(0)->isChecked()); // "USB"
    setup.rg_port->button(2)->click();
    EXPECT_EQ(settings.GL_COM, 2);
    setup.rg_port->button(0)->click();
    EXPECT_EQ(settings.GL_COM, 0);
}

TEST_F(SetupWindow, StoredPortOutsideTheItemsChecksNoneAndIsKept) {
    for (int stored : {7, -1}) {
        settings.GL_COM = stored;
        setup.FormShow();
        EXPECT_EQ(setup.rg_port->itemIndex(), -1);
        EXPECT_EQ(settings.GL_COM, stored);
    }
}

TEST_F(SetupWindow, FirmwareOptionsExcludeEachOther) {
    setup.show();
    setup.chk_v264->click();
    EXPECT_TRUE(settings.CHK_V264);
    EXPECT_FALSE(settings.CHK_V300);

    setup.chk_v300->click(); // the box just ticked stays, the other is cleared
    EXPECT_TRUE(setup.chk_v300->isChecked());
    EXPECT_FALSE(setup.chk_v264->isChecked());
    EXPECT_TRUE(settings.CHK_V300);
    EXPECT_FALSE(settings.CHK_V264);

    setup.chk_v300->click(); // unticking leaves both clear
    EXPECT_FALSE(settings.CHK_V300);
    EXPECT_FALSE(settings.CHK_V264);
}

} // namespace
