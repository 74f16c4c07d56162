// The chart-file reader and the field walk, as the temperature and the level window open a
// file: ReadChartFile, then RebuildChartPoints with the TermoLog and the LevelLog fields.
// Every line read fits a chart line; the walk splits each one as a plain reading of its
// rule does; the points carry the format's number of finite values; the lines written
// out again read back the same.
#include "fuzz_common.h"

#include "chart/chart_file.h"
#include "chart/record_store.h"
#include "level/levellog_line.h"
#include "platform/app_error.h"
#include "temperature/termolog_line.h"

#include <cmath>
#include <vector>

namespace {

// The fields of a line by the rule in LineFields: a comma starts the next field (the walk
// ends at field 20), spaces are dropped, a CR ends the walk and stays in its field.
std::vector<QByteArray> plainFields(const QByteArray& line) {
    std::vector<QByteArray> fields(1);
    for (const char c : line) {
        if (c == ',') {
            fields.emplace_back();
            if (fields.size() == LineFields::kMaxField + 1)
                break;
        } else if (c != ' ') {
            fields.back() += c;
            if (c == '\r')
                break;
        }
    }
    return fields;
}

void checkFields(const QByteArray& line) {
    LineFields fields;
    fields.split(line);
    const std::vector<QByteArray> expected = plainFields(line);
    FUZZ_CHECK(fields.last() == static_cast<int>(expected.size()) - 1);
    for (int i = 0; i <= fields.last(); ++i)
        FUZZ_CHECK(fields.field(i) == expected[static_cast<std::size_t>(i)]);
    FUZZ_CHECK(fields.field(fields.last() + 1).isEmpty());
}

void rebuild(const std::vector<QByteArray>& lines, const ChartFileFormat& format) {
    std::size_t points = 0;
    try {
        const RebuildOutcome outcome = RebuildChartPoints(
            lines, format, [&](QByteArrayView label, std::span<const double> values) {
                FUZZ_CHECK(!label.isEmpty());
                FUZZ_CHECK(values.size() == static_cast<std::size_t>(format.valueCount));
                for (const double value : values)
                    FUZZ_CHECK(std::isfinite(value));
                ++points;
            });
        FUZZ_CHECK(outcome.notMarked == (points < lines.size()));
    } catch (const AppError&) {
        FUZZ_CHECK(points < lines.size()); // a value that is no number ends the walk
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = ScratchPath(QStringLiteral("chart.txt"));
    WriteScratchFile(path, InputBytes(data, size));
    const ChartFileRead read = ReadChartFile(path, RecordStore::kCapacity);
    if (!read.ok) {
        FUZZ_CHECK(read.lines.empty() && read.longLine > 0);
        return 0;
    }
    FUZZ_CHECK(!read.truncated);
    for (const QByteArray& line : read.lines) {
        FUZZ_CHECK(line.size() <= kMaxChartLineBytes && !line.contains('\n'));
        checkFields(line);
    }
    rebuild(read.lines, kTermoLogFormat);
    rebuild(read.lines, kLevelLogFormat);

    const QString copy = ScratchPath(QStringLiteral("copy.txt"));
    FUZZ_CHECK(WriteChartFile(copy, read.lines).status == AtomicWriteResult::Status::Ok);
    const ChartFileRead again = ReadChartFile(copy, RecordStore::kCapacity);
    FUZZ_CHECK(again.ok && !again.truncated && again.lines == read.lines);
    return 0;
}
