#include "link/link_state.h"

#include "link/link_notice.h"
#include "link/telegram.h"

Telegram rxTelegram{};
ConsumerList<Telegram> acceptedTelegrams;
std::int32_t okCount = 0;
std::int32_t crcErrorCount = 0;
std::int32_t tempTelegramCount = 0;
std::int32_t levelTelegramCount = 0;

SI_HANDLE usbHandle = nullptr;
bool usbOpen = false;
SiOverlapped usbReadOverlapped{};

bool comOpen = false;

namespace {

class NoIndicators final : public LinkIndicators {
public:
    void toggleScanUsb() override {}
    void toggleScanCom() override {}
    void toggleDataStream() override {}
    void setDeviceCountText(const QString&) override {}
    void setDeviceNameText(const QString&) override {}
};

LinkIndicators& noIndicators() {
    static NoIndicators none;
    return none;
}

} // namespace

Seam<LinkIndicators> linkIndicators(noIndicators);

void ResetLinkState() {
    rxTelegram.fill(0);
    okCount = crcErrorCount = tempTelegramCount = levelTelegramCount = 0;
    usbHandle = nullptr;
    usbOpen = false;
    usbReadOverlapped = {};
    comOpen = false;
    linkIndicators.install(nullptr);
    acceptedTelegrams.clear();
    SetTelegramDispatcher({});
    SetLinkNoticeHook({});
}
