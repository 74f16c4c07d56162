#pragma once

#include "settings/settings.h"

#include <QStringList>

#include <variant>

// The names of the settings whose values differ between `before` and `after`, in store
// order: what a window wrote.
inline QStringList ChangedSettings(const Settings& before, const Settings& after) {
    QStringList names;
    for (const SettingField& field : kSettingsTable) {
        const bool same =
            std::visit([&](auto member) { return before.*member == after.*member; }, field.member);
        if (!same)
            names << QString::fromLatin1(field.name);
    }
    return names;
}
