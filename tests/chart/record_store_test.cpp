#include "chart/record_store.h"

#include <gtest/gtest.h>

namespace {

std::vector<QByteArray> lines(std::initializer_list<const char*> texts) {
    std::vector<QByteArray> out;
    for (const char* text : texts)
        out.emplace_back(text);
    return out;
}

TEST(RecordStore, AppendsUntilFullAndNeverBeyond) {
    RecordStore store;
    store.recording = true;
    for (std::int32_t i = 0; i < RecordStore::kCapacity; ++i)
        ASSERT_TRUE(store.append("x"));
    EXPECT_TRUE(store.full());
    EXPECT_FALSE(store.append("one too many"));
    EXPECT_EQ(store.count(), RecordStore::kCapacity);
    store.clear();
    EXPECT_EQ(store.count(), 0);
    EXPECT_TRUE(store.recording); // clearing is not switching off
    store.reset();
    EXPECT_FALSE(store.recording);
}

struct KeepCase {
    const char* name;
    std::vector<QByteArray> before;
    std::int32_t from;
    std::vector<QByteArray> more;
    std::vector<QByteArray> after;
};

TEST(RecordStore, KeepsTheLinesFromAnIndexThenAppends) {
    const KeepCase cases[] = {
        {"replace all", lines({"a", "b"}), 2, lines({"f1", "f2"}), lines({"f1", "f2"})},
        {"keep the new tail", lines({"a", "b", "s1"}), 2, lines({"f1"}), lines({"s1", "f1"})},
        {"from 0 keeps all", lines({"a"}), 0, lines({"f"}), lines({"a", "f"})},
        {"index past the end", lines({"a"}), 9, lines({"f"}), lines({"f"})},
        {"nothing more", lines({"a", "b"}), 1, {}, lines({"b"})},
    };
    for (const KeepCase& c : cases) {
        RecordStore store;
        for (const QByteArray& line : c.before)
            store.append(line);
        std::vector<QByteArray> more = c.more;
        EXPECT_EQ(store.keepFromThenAppend(c.from, std::move(more)),
                  static_cast<std::int32_t>(c.more.size()))
            << c.name;
        EXPECT_EQ(store.lines(), c.after) << c.name;
    }
}

TEST(RecordStore, AppendsOnlyWhatFits) {
    RecordStore store;
    for (int i = 0; i < 3; ++i)
        store.append("kept");
    std::vector<QByteArray> file(RecordStore::kCapacity, QByteArray("f"));
    EXPECT_EQ(store.keepFromThenAppend(1, std::move(file)), RecordStore::kCapacity - 2);
    EXPECT_TRUE(store.full());
    EXPECT_EQ(store.line(1), QByteArray("kept"));
    EXPECT_EQ(store.line(2), QByteArray("f"));
}

} // namespace
