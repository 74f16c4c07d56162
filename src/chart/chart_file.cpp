#include "chart/chart_file.h"

#include "chart/point_label.h"

#include "platform/app_error.h"
#include "platform/file_text.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>

void LineFields::split(QByteArrayView line) {
    text_.resize(static_cast<std::size_t>(line.size()));
    char* out = text_.data();
    char* const start = out;
    begin_.fill(0);
    int field = 0;
    for (const char c : line) {
        if (c == ',') {
            ++field;
            begin_[static_cast<std::size_t>(field)] = static_cast<std::uint32_t>(out - start);
            if (field == kMaxField)
                break;
        } else if (c != ' ') {
            *out++ = c;
            if (c == '\r')
                break;
        }
    }
    last_ = field;
    begin_[static_cast<std::size_t>(field) + 1] = static_cast<std::uint32_t>(out - start);
}

QByteArrayView LineFields::field(int number) const {
    if (number < 0 || number > last_)
        return {};
    const auto begin = begin_[static_cast<std::size_t>(number)];
    const auto end = begin_[static_cast<std::size_t>(number) + 1];
    return QByteArrayView(text_.data() + begin, static_cast<qsizetype>(end - begin));
}

std::optional<double> ParseChartNumber(QByteArrayView text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* digits = begin;
    if (begin != end && *begin == '+')
        digits = ++begin; // from_chars takes "-" but not "+"
    else if (begin != end && *begin == '-')
        ++digits;
    if (digits == end || !((*digits >= '0' && *digits <= '9') || *digits == '.'))
        return std::nullopt;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

namespace {

void appendPoint(const LineFields& fields, const ChartFileFormat& format,
                 std::vector<double>& values, QByteArray& label, const ChartPointSink& addPoint) {
    values.resize(static_cast<std::size_t>(format.valueCount));
    for (int i = 0; i < format.valueCount; ++i) {
        const QByteArrayView text = fields.field(format.firstValueField + i);
        const std::optional<double> value = ParseChartNumber(text);
        if (!value) {
            throw AppError(QStringLiteral("'%1' is not a valid floating point value")
                               .arg(ReadableField(text)));
        }
        values[static_cast<std::size_t>(i)] = *value;
    }
    if (!addPoint)
        return; // checking only
    PointLabelFromFields(fields.field(1), fields.field(0), label);
    if (IsAscii(label))
        addPoint(label, values);
    else
        addPoint(FileTextToUtf8(label), values);
}

} // namespace

RebuildOutcome RebuildChartPoints(const std::vector<QByteArray>& lines,
                                  const ChartFileFormat& format, const ChartPointSink& addPoint) {
    RebuildOutcome outcome;
    LineFields fields;
    QByteArray label;
    std::vector<double> values;
    for (const QByteArray& line : lines) {
        fields.split(line);
        outcome.lastField = fields.last();
        if (fields.field(fields.last()) != format.marker) {
            outcome.notMarked = true;
            break;
        }
        appendPoint(fields, format, values, label, addPoint);
    }
    return outcome;
}

RebuildOutcome CheckChartLines(const std::vector<QByteArray>& lines,
                               const ChartFileFormat& format) {
    return RebuildChartPoints(lines, format, {});
}

namespace {

constexpr qint64 kChunk = 1 << 20;

enum class Taken { More, Full, TooLong };

// Cuts the lines off `pending` as they complete, until `maxLines` are in or a line (ended
// or still open) is longer than a chart line can be.
Taken takeLines(const QByteArray& pending, qsizetype& from, ChartFileRead& result, int maxLines) {
    while (static_cast<int>(result.lines.size()) < maxLines) {
        const qsizetype lf = pending.indexOf('\n', from);
        qsizetype end = lf < 0 ? pending.size() : lf;
        if (end > from && pending[end - 1] == '\r')
            --end;
        if (end - from > kMaxChartLineBytes)
            return Taken::TooLong;
        if (lf < 0)
            return Taken::More;
        result.lines.push_back(pending.mid(from, end - from));
        from = lf + 1;
    }
    return Taken::Full;
}

} // namespace

ChartFileRead ReadChartFile(const QString& path, int maxLines) {
    ChartFileRead result;
    QFile file(path);
    // Only plain files: opening a named pipe would wait for a writer, a device never ends.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return result;
    QByteArray pending;
    qsizetype from = 0;
    Taken taken = Taken::More;
    while (taken == Taken::More) {
        // No more than the file still holds (plus one byte, to see its end): Qt reserves
        // the whole size asked for.
        const qint64 left = std::max<qint64>(file.size() - file.pos(), 0);
        const QByteArray chunk = file.read(std::min<qint64>(left + 1, kChunk));
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError || !file.atEnd())
                return result; // a read error, not the end
            break;
        }
        pending = pending.mid(from) + chunk; // what is left over is one short line at most
        from = 0;
        taken = takeLines(pending, from, result, maxLines);
    }
    if (taken == Taken::TooLong) {
        ChartFileRead failed; // no lines: the store stays as it is
        failed.longLine = static_cast<int>(result.lines.size()) + 1;
        return failed;
    }
    if (taken == Taken::Full) {
        // Anything after the last wanted line (even an empty line) is left out.
        result.truncated = from < pending.size() || !file.read(1).isEmpty();
    } else if (from < pending.size()) {
        QByteArray last = pending.mid(from);
        if (last.endsWith('\r'))
            last.chop(1);
        result.lines.push_back(last);
    }
    result.ok = true;
    return result;
}

AtomicWriteResult WriteChartFile(const QString& path, const std::vector<QByteArray>& lines) {
    AtomicWriteResult result;
    AtomicFile file(path);
    if (!file.open()) {
        result.status = AtomicWriteResult::Status::CreateFailed;
        result.error = file.errorString();
        return result;
    }
    // In pieces of about a megabyte: a full store is some 40 MB of text.
    QByteArray buffer;
    buffer.reserve(kChunk + 4096);
    bool written = true;
    for (std::size_t i = 0; i < lines.size() && written; ++i) {
        buffer.append(lines[i]).append("\r\n");
        if (buffer.size() >= kChunk || i + 1 == lines.size()) {
            written = file.write(buffer);
            buffer.clear();
        }
    }
    if (!written || !file.commit()) {
        result.status = AtomicWriteResult::Status::WriteFailed;
        result.error = file.errorString();
    }
    return result;
}
