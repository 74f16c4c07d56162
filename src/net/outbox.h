#pragma once

#include <QFile>
#include <QLockFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

// One instrument's state documents on their way to the broker: an append-only queue on disk
// that keeps them, in order, until the broker has acknowledged each one, across restarts and
// kill -9. Entries are numbered from 0 for the life of the folder.
//
// On disk: segment files "<number of the first entry, 16 hex digits>.seg" of up to
// segmentEntries entries each, every entry framed as its length and CRC-32 (both 32-bit,
// little-endian) followed by the document's bytes; and "marker", which holds the number of the
// oldest unacknowledged entry and the count of dropped entries in two alternating checked
// slots. An entry cut short (a killed program, a full disk) fails its check and is cut off when
// the outbox is opened again; everything before it stays. Only the newest segment is written;
// a segment whose entries are all acknowledged is deleted, so nothing is ever rewritten.
// Memory stays small: the outbox keeps the segments' first numbers, not the documents.
class Outbox {
public:
    static constexpr std::int64_t kBound = 360'001;
    static constexpr int kSegmentEntries = 4096;

    // <per-user data folder>/Velcor_Monidesk/outbox/<instrument>
    static QString DefaultFolder(const QString& instrument);

    explicit Outbox(const QString& folder, std::int64_t bound = kBound,
                    int segmentEntries = kSegmentEntries);
    ~Outbox();
    Outbox(const Outbox&) = delete;
    Outbox& operator=(const Outbox&) = delete;

    // Creates the folder when needed and takes up what an earlier run left. False (with
    // error()) when the folder cannot be used or another running program holds it; appends
    // then fail.
    bool open();
    bool isOpen() const { return open_; }
    const QString& folder() const { return folder_; }

    // Stores one document after the newest, giving up the oldest past the bound. False when
    // it could not be stored whole (a full disk): nothing torn is left behind, and what was
    // stored before stays.
    bool append(const QByteArray& document);

    std::uint64_t first() const { return first_; } // the oldest unacknowledged entry
    std::uint64_t end() const { return end_; }     // one past the newest entry
    std::int64_t size() const { return static_cast<std::int64_t>(end_ - first_); }
    bool isEmpty() const { return first_ == end_; }

    // The document of entry `number`; nothing when it is acknowledged, not yet stored, or
    // damaged on disk. Reading in order is cheap.
    std::optional<QByteArray> read(std::uint64_t number);
    // The broker has entry `number`. Entries leave once every older one has left too; the
    // progress reaches the disk with flush() (a program killed before that sends the
    // entries since the last flush again: twice, never lost).
    void acknowledge(std::uint64_t number);
    void flush();

    // Entries given up at the bound (or found damaged), over the folder's life.
    std::uint64_t dropped() const { return dropped_; }
    // Appends that failed since opening, and the reason of the last failure (German).
    int failedAppends() const { return failedAppends_; }
    const QString& error() const { return error_; }
    // The bytes of all segment files (the benchmark).
    std::int64_t bytesOnDisk() const;

private:
    struct Segment {
        std::uint64_t base = 0;
        QString path;
    };
    QString segmentPath(std::uint64_t base) const;
    bool scanNewest();
    bool startSegment();
    bool cutBackTail();
    void advanceFirst(std::uint64_t to);
    void dropSettledSegments();
    void writeMarker();
    void readMarker();
    std::size_t segmentOf(std::uint64_t number) const;
    bool seekReader(std::uint64_t number);
    void fail(const QString& why);

    QString folder_;
    QLockFile lock_;
    std::int64_t bound_;
    int segmentEntries_;
    bool open_ = false;
    std::vector<Segment> segments_;
    std::uint64_t first_ = 0;
    std::uint64_t end_ = 0;
    std::uint64_t dropped_ = 0;
    std::set<std::uint64_t> ackedAhead_;
    QFile writer_;
    qint64 writerSize_ = 0;
    bool tailDirty_ = false;
    QFile reader_;
    std::uint64_t readerNumber_ = 0;
    std::uint64_t readerBase_ = 0;
    bool progressed_ = false;
    QFile marker_;
    std::uint32_t markerGeneration_ = 0;
    int failedAppends_ = 0;
    QString error_;
};
