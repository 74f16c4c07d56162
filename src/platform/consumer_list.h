#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

// The consumers of one kind of value (a decoded reading, a checked telegram), called in the
// order they were attached. The program attaches them where it creates its windows; a
// consumer is attached outside of a delivery, never from inside one.
template <typename Value> class ConsumerList {
public:
    using Consumer = std::function<void(const Value&)>;

    void attach(Consumer consumer) { consumers_.push_back(std::move(consumer)); }
    // Every consumer, in attachment order. A consumer may open a modal box whose ticks
    // deliver further values meanwhile; that leaves the list as it is.
    void deliver(const Value& value) const {
        for (const Consumer& consumer : consumers_)
            consumer(value);
    }
    void clear() { consumers_.clear(); }
    std::size_t size() const { return consumers_.size(); }

private:
    std::vector<Consumer> consumers_;
};
