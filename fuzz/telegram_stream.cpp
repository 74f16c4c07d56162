// The receiver byte stream, tick by tick, through both links into the telegram check, the
// dispatch and the HeatSpan and TideSpan decoders, as the poll timer runs them. Every
// frame a link reads is counted as passed or failed, and at most the passed ones reach a
// decoder; a recorded sample's log line reads back as the live values. No tick fails.
//
// The input: five bytes of set-up, then the stream.
//   byte 0    bit 0: legacy 11-byte frames on COM (CHK_V264); bit 1: CHK_V300;
//             bits 2-3: the link: 0 USB, 1 COM, 2 and 3 both, chunks in turn;
//             bit 4: both record switches on
//   byte 1, 2 TERM_ADR, LEV_ADR
//   byte 3, 4 four chunk sizes, one per nibble (0: nothing arrives that tick), in turn
#include "fuzz_common.h"

#include "alarm/check_alarms.h"
#include "app/dispatch.h"
#include "app/program_state.h"
#include "chart/chart_file.h"
#include "level/level_decode.h"
#include "level/level_state.h"
#include "level/levellog_line.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "link/usb_com.h"
#include "platform/error_report.h"
#include "platform/file_text.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"
#include "temperature/temperature_state.h"
#include "temperature/termolog_line.h"

#include <cmath>

namespace {

// A recorded sample's line as the data loggers write it, read back as a chart file is.
void checkLogLine(const QString& line, const ChartFileFormat& format,
                  std::span<const double> expected) {
    const std::vector<QByteArray> lines{ToFileText(line)};
    int points = 0;
    RebuildChartPoints(lines, format, [&](QByteArrayView, std::span<const double> values) {
        for (std::size_t i = 0; i < values.size(); ++i)
            FUZZ_CHECK(std::abs(values[i] - expected[i]) <= 0.05 + 1e-9 * std::abs(expected[i]));
        ++points;
    });
    FUZZ_CHECK(points == 1);
}

class Temperatures final : public TemperatureDisplay {
public:
    void toggleMeasurementLed() override {}
    void showChannelText(int channel, const QString& text) override {
        FUZZ_CHECK(channel >= 1 && channel <= kTempChannels && !text.isEmpty());
    }
    void setChannelPosition(int, double value) override { FUZZ_CHECK(std::isfinite(value)); }
    void setStatusLeds(bool, bool) override {}
    void setHighRange(int channel, bool) override { FUZZ_CHECK(channel == 7 || channel == 8); }
    void recordSample(const QDateTime& when) override {
        checkLogLine(TermoLogLine(when, liveTemperatures), kTermoLogFormat, liveTemperatures);
    }
};

void checkLevelReading(const LevelReading& reading) {
    FUZZ_CHECK(reading.percent >= 0 && reading.percent <= 255);
    for (const auto* rows : {&reading.volumeRows, &reading.heightRows})
        FUZZ_CHECK(!(*rows)[0].isEmpty() && !(*rows)[1].isEmpty());
    if (levelRecords.recording)
        checkLogLine(LevelLoggerLine(reading.time, levelPercent, levelDistanceRaw, levelHeightRaw),
                     kLevelLogFormat, std::span<const double>(&levelPercent, 1));
}

// The program's dispatcher, with the readings' consumers in the program's order and the
// windows replaced by checks.
void wireAsTheProgram() {
    static Temperatures temperatures;
    SetTelegramDispatcher(DispatchTelegram);
    temperatureReadings.attach(StoreLiveTemperatures);
    temperatureReadings.attach(
        [](const TemperatureReading& reading) { ShowTemperatureReading(reading, temperatures); });
    statusReadings.attach([](const StatusReading& reading) { CheckAlarms(reading.status); });
    statusReadings.attach(
        [](const StatusReading& reading) { ShowStatusReading(reading, temperatures); });
    levelReadings.attach(StoreLiveLevel);
    levelReadings.attach(checkLevelReading);
}

TfmSerial* holder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    StartFuzzApplication((*argv)[0]);
    holder = new TfmSerial(nullptr, std::make_unique<FakeSerialPort>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHead = 5;
    if (size < kHead || (data[3] == 0 && data[4] == 0))
        return 0;
    ResetProgramState();
    wireAsTheProgram();
    settings.CHK_V264 = (data[0] & 0x01) != 0;
    settings.CHK_V300 = (data[0] & 0x02) != 0;
    const int links = (data[0] >> 2) & 0x03;
    tempRecords.recording = levelRecords.recording = (data[0] & 0x10) != 0;
    settings.TERM_ADR = data[1];
    settings.LEV_ADR = data[2];
    settings.GL_COM = 1;
    const int chunkSizes[] = {data[3] >> 4, data[3] & 0x0F, data[4] >> 4, data[4] & 0x0F};

    ScriptedUsbXpress usb;
    usb.devices = 1;
    auto port = std::make_unique<FakeSerialPort>();
    FakeSerialPort& com = *port;
    holder->ComPort1 = std::move(port);
    FakeIndicators indicators;

    std::size_t at = kHead;
    for (int tick = 0; at < size || tick % 4 != 0; ++tick) {
        const auto n =
            std::min<std::size_t>(static_cast<std::size_t>(chunkSizes[tick % 4]), size - at);
        const bool toCom = links == 1 || (links >= 2 && tick % 2 == 1);
        (toCom ? com.incoming : usb.incoming) += InputBytes(data + at, n);
        at += n;
        FUZZ_CHECK(ErrorReport::RunTick([] {
            PollUsbReceiver();
            PollSerialReceiver(holder);
        }));
    }
    FUZZ_CHECK(okCount + crcErrorCount == indicators.dataStream);
    FUZZ_CHECK(tempTelegramCount + levelTelegramCount <= okCount);
    FUZZ_CHECK(!StatusLine().isEmpty());
    return 0;
}
