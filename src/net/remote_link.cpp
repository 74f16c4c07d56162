#include "net/remote_link.h"

#include "link/telegram.h"

#include <algorithm>

std::int32_t remoteTelegramCount = 0;

namespace {
bool feeding = false;
} // namespace

bool FeedRemoteTelegram(const QByteArray& bytes) {
    if (bytes.size() != kTelegramSize)
        return false;
    CountUp(remoteTelegramCount);
    Telegram telegram{};
    std::copy(bytes.cbegin(), bytes.cend(), telegram.begin());
    feeding = true;
    const bool passed = AcceptTelegram(telegram);
    feeding = false;
    return passed;
}

bool RemoteFeedActive() {
    return feeding;
}

void ResetRemoteLinkState() {
    remoteTelegramCount = 0;
}
