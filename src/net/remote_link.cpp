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
    std::copy(bytes.cbegin(), bytes.cend(), rxTelegram.begin());
    feeding = true;
    const bool passed = AcceptTelegram();
    feeding = false;
    return passed;
}

bool RemoteFeedActive() {
    return feeding;
}

void ResetRemoteLinkState() {
    remoteTelegramCount = 0;
}
