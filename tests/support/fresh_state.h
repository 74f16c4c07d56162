#pragma once

#include <QLocale>

// Runs `Resets` (the resets of the layers a test touches, each beside its state in src/)
// when constructed and again when destroyed. As a fixture's base it runs before the
// fixture's members are made and after they are gone, so doubles that install themselves
// as members stay installed for the test and are put back before the final reset.
template <void (*... Resets)()> class FreshState {
public:
    FreshState() { (Resets(), ...); }
    ~FreshState() { (Resets(), ...); }
    FreshState(const FreshState&) = delete;
    FreshState& operator=(const FreshState&) = delete;
};

// German dates and numbers for the life of the object; the previous default comes back.
class GermanFormats {
public:
    GermanFormats() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~GermanFormats() { QLocale::setDefault(previous_); }
    GermanFormats(const GermanFormats&) = delete;
    GermanFormats& operator=(const GermanFormats&) = delete;

private:
    const QLocale previous_; // constructed before the body sets the German one
};
