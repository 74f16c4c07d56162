#include "net/remote_link.h"

#include "link/telegram.h"

#include <algorithm>
#include <deque>

std::int32_t remoteTelegramCount = 0;
std::int32_t remoteDroppedCount = 0;

namespace {
bool feeding = false;
std::deque<QByteArray> queued;
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

void QueueRemoteTelegram(const QByteArray& bytes) {
    if (queued.size() >= static_cast<std::size_t>(kRemoteQueueBound)) {
        queued.pop_front();
        CountUp(remoteDroppedCount);
    }
    queued.push_back(bytes);
}

int DrainRemoteTelegrams() {
    // What a consumer queues meanwhile waits for the next tick.
    std::deque<QByteArray> now;
    now.swap(queued);
    for (const QByteArray& bytes : now)
        FeedRemoteTelegram(bytes);
    return static_cast<int>(now.size());
}

bool RemoteFeedActive() {
    return feeding;
}

void ResetRemoteLinkState() {
    remoteTelegramCount = 0;
    remoteDroppedCount = 0;
    queued.clear();
}
