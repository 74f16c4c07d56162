#include "net/outbox.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <array>

namespace {

constexpr qint64 kHeaderSize = 8;
constexpr std::uint32_t kLargestEntry = 16u << 20;
constexpr std::uint32_t kMarkerMagic = 0x424f444d; // "MDOB"
constexpr qint64 kSlotSize = 32;
constexpr auto kSegmentSuffix = QLatin1String(".seg");

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

// CRC-32 as zip and PNG use it.
std::uint32_t Crc32(const char* data, qint64 size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (qint64 i = 0; i < size; ++i)
        crc = kCrcTable[(crc ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void Put32(char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
void Put64(char* at, std::uint64_t value) {
    Put32(at, static_cast<std::uint32_t>(value));
    Put32(at + 4, static_cast<std::uint32_t>(value >> 32));
}
std::uint32_t Get32(const char* at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(at[i]);
    return value;
}
std::uint64_t Get64(const char* at) {
    return Get32(at) | (static_cast<std::uint64_t>(Get32(at + 4)) << 32);
}

QString WriteError(const QString& path, const QString& why) {
    return QStringLiteral("Fehler beim Schreiben der Datei %1: %2")
        .arg(QDir::toNativeSeparators(path), why);
}

// The number of whole, intact entries at the start of `bytes`, and where they end.
std::pair<std::uint64_t, qint64> IntactEntries(const QByteArray& bytes) {
    std::uint64_t count = 0;
    qint64 offset = 0;
    while (offset + kHeaderSize <= bytes.size()) {
        const std::uint32_t length = Get32(bytes.constData() + offset);
        const std::uint32_t crc = Get32(bytes.constData() + offset + 4);
        if (length > kLargestEntry || offset + kHeaderSize + length > bytes.size() ||
            Crc32(bytes.constData() + offset + kHeaderSize, length) != crc)
            break;
        offset += kHeaderSize + length;
        ++count;
    }
    return {count, offset};
}

} // namespace

QString Outbox::DefaultFolder(const QString& instrument) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Velcor_Monidesk/outbox/") + instrument;
}

Outbox::Outbox(const QString& folder, std::int64_t bound, int segmentEntries)
    : folder_(folder), lock_(folder + QStringLiteral("/lock")),
      bound_(std::max<std::int64_t>(1, bound)), segmentEntries_(std::max(1, segmentEntries)) {}

Outbox::~Outbox() {
    flush();
}

QString Outbox::segmentPath(std::uint64_t base) const {
    return folder_ + QLatin1Char('/') + QStringLiteral("%1").arg(base, 16, 16, QLatin1Char('0')) +
           kSegmentSuffix;
}

bool Outbox::open() {
    if (!QDir().mkpath(folder_)) {
        error_ = QStringLiteral("Fehler beim Anlegen des Ordners %1")
                     .arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    lock_.setStaleLockTime(0);
    if (!lock_.tryLock(0)) {
        error_ = QStringLiteral("Der Postausgang %1 wird von einem anderen laufenden Programm "
                                "benutzt")
                     .arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    readMarker();
    const QStringList names = QDir(folder_).entryList({QStringLiteral("*.seg")}, QDir::Files);
    for (const QString& name : names) {
        bool ok = false;
        const std::uint64_t base =
            name.left(name.size() - kSegmentSuffix.size()).toULongLong(&ok, 16);
        if (ok && name.size() == 16 + kSegmentSuffix.size())
            segments_.push_back({base, folder_ + QLatin1Char('/') + name});
    }
    std::sort(segments_.begin(), segments_.end(),
              [](const Segment& a, const Segment& b) { return a.base < b.base; });
    end_ = first_;
    if (!segments_.empty() && !scanNewest())
        return false;
    if (!segments_.empty())
        first_ = std::max(first_, segments_.front().base);
    first_ = std::min(first_, end_);
    open_ = true;
    dropSettledSegments();
    return true;
}

bool Outbox::scanNewest() {
    const Segment& newest = segments_.back();
    writer_.setFileName(newest.path);
    if (!writer_.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        error_ = WriteError(newest.path, writer_.errorString());
        return false;
    }
    const QByteArray bytes = writer_.readAll();
    const auto [count, intactSize] = IntactEntries(bytes);
    // A torn last entry is cut off: everything before it stays.
    if (intactSize != bytes.size())
        writer_.resize(intactSize);
    writerSize_ = intactSize;
    end_ = std::max(end_, newest.base + count);
    return true;
}

bool Outbox::startSegment() {
    writer_.close();
    const Segment segment{end_, segmentPath(end_)};
    writer_.setFileName(segment.path);
    if (!writer_.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        fail(WriteError(segment.path, writer_.errorString()));
        return false;
    }
    writer_.resize(0);
    writerSize_ = 0;
    segments_.push_back(segment);
    return true;
}

bool Outbox::cutBackTail() {
    writer_.close();
    if (writer_.open(QIODevice::ReadWrite | QIODevice::Unbuffered) && writer_.resize(writerSize_))
        tailDirty_ = false;
    return !tailDirty_;
}

bool Outbox::append(const QByteArray& document) {
    if (!open_) {
        fail(error_.isEmpty() ? QStringLiteral("Postausgang nicht geöffnet") : error_);
        return false;
    }
    if (tailDirty_ && !cutBackTail()) {
        fail(WriteError(writer_.fileName(), writer_.errorString()));
        return false;
    }
    if ((segments_.empty() || end_ - segments_.back().base >= std::uint64_t(segmentEntries_)) &&
        !startSegment())
        return false;
    QByteArray frame(kHeaderSize, Qt::Uninitialized);
    Put32(frame.data(), static_cast<std::uint32_t>(document.size()));
    Put32(frame.data() + 4, Crc32(document.constData(), document.size()));
    frame += document;
    writer_.seek(writerSize_);
    if (writer_.write(frame) != frame.size()) {
        const QString why = WriteError(writer_.fileName(), writer_.errorString());
        // Whatever part of the entry reached the disk goes again.
        tailDirty_ = true;
        cutBackTail();
        fail(why);
        return false;
    }
    writerSize_ += frame.size();
    ++end_;
    if (size() > bound_) {
        dropped_ += static_cast<std::uint64_t>(size() - bound_);
        advanceFirst(end_ - static_cast<std::uint64_t>(bound_));
        flush();
    }
    return true;
}

void Outbox::fail(const QString& why) {
    ++failedAppends_;
    error_ = why;
}

std::size_t Outbox::segmentOf(std::uint64_t number) const {
    const auto after =
        std::upper_bound(segments_.begin(), segments_.end(), number,
                         [](std::uint64_t n, const Segment& segment) { return n < segment.base; });
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, after - segments_.begin() - 1));
}

bool Outbox::seekReader(std::uint64_t number) {
    reader_.close();
    if (segments_.empty())
        return false;
    const Segment& segment = segments_[segmentOf(number)];
    reader_.setFileName(segment.path);
    if (number < segment.base || !reader_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    char header[kHeaderSize];
    qint64 offset = 0;
    for (std::uint64_t n = segment.base; n < number; ++n) {
        if (!reader_.seek(offset) || reader_.read(header, kHeaderSize) != kHeaderSize) {
            reader_.close();
            return false;
        }
        offset += kHeaderSize + Get32(header + 0);
    }
    if (!reader_.seek(offset)) {
        reader_.close();
        return false;
    }
    readerNumber_ = number;
    readerBase_ = segment.base;
    return true;
}

std::optional<QByteArray> Outbox::read(std::uint64_t number) {
    if (number < first_ || number >= end_)
        return std::nullopt;
    const bool inStep = reader_.isOpen() && readerNumber_ == number &&
                        segments_[segmentOf(number)].base == readerBase_;
    if (!inStep && !seekReader(number))
        return std::nullopt;
    char header[kHeaderSize];
    if (reader_.read(header, kHeaderSize) != kHeaderSize) {
        reader_.close();
        return std::nullopt;
    }
    const std::uint32_t length = Get32(header);
    QByteArray document = length <= kLargestEntry ? reader_.read(length) : QByteArray();
    if (document.size() != qsizetype(length) ||
        Crc32(document.constData(), document.size()) != Get32(header + 4)) {
        reader_.close();
        return std::nullopt;
    }
    ++readerNumber_;
    return document;
}

void Outbox::acknowledge(std::uint64_t number) {
    if (number < first_ || number >= end_)
        return;
    if (number == first_)
        advanceFirst(number + 1);
    else
        ackedAhead_.insert(number);
}

void Outbox::advanceFirst(std::uint64_t to) {
    first_ = std::max(first_, to);
    ackedAhead_.erase(ackedAhead_.begin(), ackedAhead_.lower_bound(first_));
    while (!ackedAhead_.empty() && *ackedAhead_.begin() == first_) {
        ackedAhead_.erase(ackedAhead_.begin());
        ++first_;
    }
    progressed_ = true;
}

void Outbox::flush() {
    if (!progressed_ || !open_)
        return;
    progressed_ = false;
    // The marker first: a segment is deleted only once the disk says it is not needed.
    writeMarker();
    dropSettledSegments();
}

void Outbox::dropSettledSegments() {
    auto settled = [this](std::size_t i) {
        const bool last = i + 1 == segments_.size();
        const std::uint64_t next = last ? end_ : segments_[i + 1].base;
        const bool full = !last || end_ - segments_[i].base >= std::uint64_t(segmentEntries_);
        return full && next <= first_;
    };
    while (!segments_.empty() && settled(0)) {
        if (segments_.size() == 1)
            writer_.close();
        if (reader_.fileName() == segments_.front().path)
            reader_.close();
        QFile::remove(segments_.front().path);
        segments_.erase(segments_.begin());
    }
}

void Outbox::readMarker() {
    marker_.setFileName(folder_ + QStringLiteral("/marker"));
    if (!marker_.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return;
    const QByteArray bytes = marker_.read(2 * kSlotSize);
    for (qint64 at = 0; at + kSlotSize <= bytes.size(); at += kSlotSize) {
        const char* slot = bytes.constData() + at;
        const std::uint32_t generation = Get32(slot + 4);
        if (Get32(slot) != kMarkerMagic || Crc32(slot, 24) != Get32(slot + 24) ||
            generation < markerGeneration_)
            continue;
        markerGeneration_ = generation;
        first_ = Get64(slot + 8);
        dropped_ = Get64(slot + 16);
    }
}

void Outbox::writeMarker() {
    if (!marker_.isOpen() && !marker_.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return; // later: entries go twice, none is lost
    ++markerGeneration_;
    char slot[kSlotSize] = {};
    Put32(slot, kMarkerMagic);
    Put32(slot + 4, markerGeneration_);
    Put64(slot + 8, first_);
    Put64(slot + 16, dropped_);
    Put32(slot + 24, Crc32(slot, 24));
    // Two slots in turn: a write cut short leaves the other one intact.
    if (marker_.seek((markerGeneration_ % 2) * kSlotSize))
        marker_.write(slot, kSlotSize);
}

std::int64_t Outbox::bytesOnDisk() const {
    std::int64_t bytes = 0;
    for (const Segment& segment : segments_)
        bytes += QFileInfo(segment.path).size();
    return bytes;
}
