#include "link/serial_com.h"

#include "link/telegram.h"
#include "link/tidespan_telegram.h"
#include "platform/clock.h"
#include "settings/settings.h"

TfmSerial::TfmSerial(QWidget* parent, std::unique_ptr<SerialPort> port)
    : QWidget(parent), ComPort1(port ? std::move(port) : MakeQtSerialPort()) {}

TfmSerial::~TfmSerial() {
    ComPort1->close();
    comOpen = false;
}

namespace {

// Opens and configures the port named by GL_COM. Any failure leaves the link closed,
// without a message, for the next tick to try again; only a port this user may not open
// is noticed, once. A port that opened but could not be configured is closed again, or
// every later attempt would find it busy.
void openPort(SerialPort& port, DeniedDeviceNotice& denied) {
    port.setPortName(QStringLiteral("COM%1").arg(settings.GL_COM));
    port.setBaudRate(settings.CHK_V264 ? kLegacyBaud : kStandardBaud);
    port.setFormat8N1();
    try {
        comOpen = port.open();
        if (!comOpen)
            return;
        denied.opened();
        port.setReadTimeout(200);
        port.setDtr(true);
        port.setRts(false);
        port.purge();
    } catch (const SerialPortDenied& refusal) {
        comOpen = false;
        denied.refused(refusal.device(), refusal.text());
    } catch (const AppError&) {
        comOpen = false;
        port.close();
    }
}

// An open port follows its name about twice a second: when the name has come to mean
// another device (a COM link made anew for a restarted simulator or another adapter), the
// port is closed for the opening in the same tick to take that device, with the settings
// of the moment, as after any closing. A name that leads nowhere raises SerialPortGone.
void followName(TfmSerial& holder) {
    const QDateTime now = Now();
    const qint64 since = holder.ComNameChecked.msecsTo(now);
    if (holder.ComNameChecked.isValid() && since >= 0 && since < kComNameCheckMs)
        return; // a clock set back makes it due at once
    holder.ComNameChecked = now;
    if (holder.ComPort1->nameMovedOn()) {
        holder.ComPort1->close();
        comOpen = false;
    }
}

// 12-byte receiver telegrams at 19200 baud.
void pollStandard(SerialPort& port) {
    if (port.bytesWaiting() == kTelegramSize) {
        linkIndicators->toggleDataStream();
        port.read(rxTelegram.data(), kTelegramSize);
        port.setDtr(true);
        if (!AcceptTelegram(rxTelegram))
            port.purge();
    } else if (port.bytesWaiting() > kTelegramSize) {
        // More than one frame: no frame start to search for, so all of it goes.
        port.purge();
    }
}

// 11-byte legacy level frames with an XOR check byte at 4800 baud. Bytes 0 and 1 of
// the frame are not compared with anything: a frame that passes is a level telegram of
// LEV_ADR. Bytes 10 and 11 of rxTelegram keep what they held; the telegram handed on
// carries its CRC, so that a consumer of raw telegrams can check it again.
void pollLegacy(SerialPort& port) {
    if (port.bytesWaiting() == kLegacyFrameSize) {
        linkIndicators->toggleDataStream();
        LegacyFrame frame{};
        port.read(frame.data(), kLegacyFrameSize);
        port.setDtr(true);
        if (!LegacyFrameOk(frame)) {
            CountUp(crcErrorCount);
            port.purge();
            return;
        }
        CountUp(okCount);
        rxTelegram[0] = static_cast<std::uint8_t>(settings.LEV_ADR & 0xFF);
        rxTelegram[1] = kTypeLevel;
        for (int i = 2; i <= 9; ++i)
            rxTelegram[i] = frame[i];
        Telegram converted = rxTelegram;
        SealTelegram(converted);
        HandOverTelegram(converted);
    } else if (port.bytesWaiting() > kLegacyFrameSize) {
        port.purge();
    }
}

} // namespace

void PollSerialReceiver(TfmSerial* holder) {
    linkIndicators->toggleScanCom();
    if (!holder)
        return;
    SerialPort& port = *holder->ComPort1;
    // The port stays on the name and baud rate it was opened with, until that name comes
    // to mean another device; CHK_V264 picks the frame format anew on every tick.
    try {
        if (comOpen)
            followName(*holder);
        if (settings.GL_COM > 0 && !comOpen) {
            openPort(port, holder->ComPortDenied);
            holder->ComNameChecked = Now();
        }
        if (!comOpen)
            return;
        if (settings.CHK_V264)
            pollLegacy(port);
        else
            pollStandard(port);
    } catch (const SerialPortGone&) {
        // Reported once; the ordinary opening takes the port again when it returns.
        port.close();
        comOpen = false;
        throw;
    }
}
