#pragma once

#include "link/heatspan_telegram.h"
#include "link/tidespan_telegram.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <random>

// The simulated transmitters: a HeatSpan with eight channels that drift like real rooms
// (five rooms at 18-25 °C, outdoors, a boiler near 60 °C, a hot-water tank) and a TideSpan
// on a tank that slowly fills and empties. Shared by the simulated USB receiver and the
// transmitter simulator for serial lines, so both send the same stream.

struct StreamOptions {
    int heatSpanAddress = 17;
    int tideSpanAddress = 0;
    bool legacy = false;        // 11-byte XOR level frames only (old TideSpan firmware)
    double crcErrorRatio = 0.0; // share of frames sent with a broken check
    double strayRatio = 0.0;    // share of transmissions that are a few stray bytes
    double burstRatio = 0.0;    // share of frames sent back to back with the next one
    std::uint32_t seed = 1;
};

// What the transmitters measure at a moment (seconds since the start of the run).
class SimTransmitters {
public:
    explicit SimTransmitters(std::uint32_t seed = 1) : rng_(seed) {}

    // The eight temperatures in °C, with a little measuring noise.
    std::array<double, 8> temperatures(double seconds);
    // Fill percentage of the tank, 15 % to 90 % and back over twenty minutes.
    static double tankPercent(double seconds);

    // Sealed HeatSpan telegram of type "0", "1" or "2" (status: alarm and sensor-error
    // bits now and then, the burner and pump as outputs 1 and 2).
    Telegram heatSpanTelegram(int address, std::uint8_t type, double seconds);
    // Sealed TideSpan telegram (type 0x10, distance and height in tenths of a centimetre).
    Telegram tideSpanTelegram(int address, double seconds);
    // Legacy serial frame: level payload in bytes 2-9, byte 10 the XOR of bytes 0-9.
    LegacyFrame legacyLevelFrame(double seconds);

private:
    LevelPayload levelPayload(double seconds);
    double noise(double amplitude);

    std::mt19937 rng_;
};

// The byte stream of the transmitters: HeatSpan "0", "1", "2" and TideSpan in turn (or
// legacy level frames only), with CRC errors, stray bytes and bursts on request.
class TelegramStream {
public:
    explicit TelegramStream(const StreamOptions& options = {});

    // The bytes of the next transmission: one frame, two frames back to back (a burst),
    // or a few stray bytes.
    QByteArray next(double seconds);
    // The next frame of the cycle alone, sealed as it should be.
    QByteArray nextFrame(double seconds);

    int frameSize() const { return options_.legacy ? kLegacyFrameSize : kTelegramSize; }
    const StreamOptions& options() const { return options_; }

private:
    bool chance(double ratio);

    StreamOptions options_;
    SimTransmitters transmitters_;
    std::mt19937 rng_;
    int slot_ = 0;
};
