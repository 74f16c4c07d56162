#pragma once

#include <QString>

#include <stdexcept>

// An unexpected error that ends the running handler or tick and reaches the general
// error report with its own text.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};
