// A one-place hand-over between two pipeline stages on different threads.
// The producer waits for the place to be free before it starts on the next
// item, so that no stage runs more than one item ahead of the next: memory
// stays a fixed number of frames, however long the sequence.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

namespace zonara_tool {

template <class Item>
class FrameHandoff {
public:
    // Blocks until the place is free; false once the consumer has gone.
    bool WaitUntilFree() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !item_ || abandoned_; });
        return !abandoned_;
    }
    // Puts an item in the (free) place; dropped once the consumer has gone.
    void Put(Item item) {
        {
            std::lock_guard lock(mutex_);
            if (abandoned_) {
                return;
            }
            item_ = std::move(item);
        }
        changed_.notify_all();
    }
    // The next item; nullopt when the producer has finished and the place is
    // empty, or the consumer has gone.
    std::optional<Item> Take() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return item_ || finished_ || abandoned_; });
        std::optional<Item> taken = std::move(item_);
        item_.reset();
        lock.unlock();
        changed_.notify_all();
        return taken;
    }
    // The producer has no more items.
    void Finish() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        changed_.notify_all();
    }
    // The consumer takes no more items: a waiting producer stops.
    void Abandon() {
        {
            std::lock_guard lock(mutex_);
            abandoned_ = true;
            item_.reset();
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Item> item_;
    bool finished_ = false;
    bool abandoned_ = false;
};

}  // namespace zonara_tool
