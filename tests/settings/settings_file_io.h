#pragma once

// Loading and saving the 32 settings through a settings file, with the messages collected,
// for the tests of that file's faults.
#include "settings/file_settings_store.h"
#include "settings/settings_io.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Messages = std::vector<std::string>;

inline QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline Messages load(const QString& path, Settings& into) {
    FileSettingsStore store(path);
    Messages messages;
    LoadSettings(store, into, [&](const std::string& m) { messages.push_back(m); });
    return messages;
}

// `saveError`, when given, gets the store's own reason for a failed save.
inline Messages save(const QString& path, const Settings& from, QString* saveError = nullptr) {
    FileSettingsStore store(path);
    Messages messages;
    SaveSettings(store, from, [&](const std::string& m) { messages.push_back(m); });
    if (saveError)
        *saveError = store.saveError();
    return messages;
}
