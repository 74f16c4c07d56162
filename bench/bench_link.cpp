// One poll tick of both links (USB, then COM) on in-memory fakes: with a telegram waiting
// on each link, and with nothing waiting.
#include "link/CP2102_USB.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "link/usb_com.h"
#include "settings/settings.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

namespace {

// A receiver that always has the same thing waiting.
class SteadyUsb : public UsbXpress {
public:
    QByteArray waiting;
    SI_STATUS SI_GetNumDevices(std::uint32_t* n) override {
        *n = 1;
        return SI_SUCCESS;
    }
    SI_STATUS SI_GetProductString(std::uint32_t, char* buffer, std::uint32_t) override {
        std::strcpy(buffer, "bench");
        return SI_SUCCESS;
    }
    SI_STATUS SI_Open(std::uint32_t, SI_HANDLE* handle) override {
        *handle = this;
        return SI_SUCCESS;
    }
    SI_STATUS SI_SetBaudRate(SI_HANDLE, std::uint32_t) override { return SI_SUCCESS; }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, std::uint8_t, std::uint8_t) override { return SI_SUCCESS; }
    SI_STATUS SI_SetTimeouts(std::uint32_t, std::uint32_t) override { return SI_SUCCESS; }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, std::uint32_t* n, std::uint32_t*) override {
        *n = std::uint32_t(waiting.size());
        return SI_SUCCESS;
    }
    SI_STATUS SI_Read(SI_HANDLE, void* buffer, std::uint32_t want, std::uint32_t* got,
                      SiOverlapped*) override {
        *got = std::min<std::uint32_t>(want, std::uint32_t(waiting.size()));
        std::memcpy(buffer, waiting.constData(), *got);
        return SI_SUCCESS;
    }
};

class SteadyPort : public SerialPort {
public:
    QByteArray waiting;
    void setPortName(const QString&) override {}
    void setBaudRate(int) override {}
    void setFormat8N1() override {}
    bool open() override { return true; }
    void setReadTimeout(int) override {}
    void setDtr(bool) override {}
    void setRts(bool) override {}
    void purge() override {}
    int bytesWaiting() override { return int(waiting.size()); }
    void read(std::uint8_t* buffer, int n) override {
        std::memcpy(buffer, waiting.constData(), std::size_t(n));
    }
    void close() override {}
    bool nameMovedOn() override { return false; }
};

QByteArray telegram(std::uint8_t address, std::uint8_t type) {
    Telegram t{address, type, 0xD7, 0x00, 0x10, 0x01, 0x20, 0x02, 0x30, 0x03};
    SealTelegram(t);
    return QByteArray(reinterpret_cast<const char*>(t.data()), kTelegramSize);
}

void runTicks(benchmark::State& state, bool withTelegrams) {
    ResetSettings();
    ResetLinkState();
    settings.GL_COM = 1;
    // Addresses that reach no decoder: the figure is the links' own cost.
    settings.TERM_ADR = 300;
    settings.LEV_ADR = 300;
    auto usb = std::make_unique<SteadyUsb>();
    auto port = std::make_unique<SteadyPort>();
    if (withTelegrams) {
        usb->waiting = telegram(17, 0x30);
        port->waiting = telegram(0, 0x10);
    }
    usbXpressSeam.install(usb.get());
    usbOpen = false;
    comOpen = false;
    TfmSerial holder(nullptr, std::move(port));
    for (auto _ : state) {
        PollUsbReceiver();
        PollSerialReceiver(&holder);
    }
    benchmark::DoNotOptimize(okCount);
    usbXpressSeam.install(nullptr);
    usbOpen = false;
    ResetSettings();
}

void BM_LinkTickTelegramOnEach(benchmark::State& state) {
    runTicks(state, true);
}
void BM_LinkTickNothingWaiting(benchmark::State& state) {
    runTicks(state, false);
}

} // namespace

BENCHMARK(BM_LinkTickTelegramOnEach);
BENCHMARK(BM_LinkTickNothingWaiting);
