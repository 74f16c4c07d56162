#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets. A finding is an abort with the failed condition, which
// libFuzzer reports as a crash and keeps the input of.

[[noreturn]] void FuzzFail(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition) ((condition) ? void() : FuzzFail(#condition, __FILE__, __LINE__))

// The input as bytes (a copy: Qt's views want a QByteArray now and then).
inline QByteArray InputBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A path in the process's scratch folder under TMPDIR, which scripts/fuzz puts in memory
// (/dev/shm) so that the atomic saves' syncs cost nothing.
QString ScratchPath(const QString& name);

// Replaces the file with these bytes.
void WriteScratchFile(const QString& path, const QByteArray& bytes);

// The offscreen QApplication the widgets need, created once; every message box or dialog
// the program would open (an error report, say) is a finding.
void StartFuzzApplication(char* program);
