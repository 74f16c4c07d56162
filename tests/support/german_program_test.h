#pragma once

#include "app/program_state.h"

#include <QLocale>

#include <gtest/gtest.h>

// Each test on a fresh program state with German dates and numbers; both are put back
// afterwards.
class GermanProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override {
        QLocale::setDefault(previousLocale_);
        ResetProgramState();
    }

private:
    const QLocale previousLocale_;
};
