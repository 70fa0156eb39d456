#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace lumora::service
{

// A fixed number of threads for password hashing with a short waiting line in front of them. argon2id is slow
// and takes 64 MiB per run on purpose, so the number running at once is fixed, and a check that finds the line
// full is turned away at once instead of holding a request thread for seconds.
class HashingQueue
{
public:
    // threads 0: half the cores, at least one. capacity 0: four waiting per thread.
    // tick, when given, runs on one hashing thread at a time about every tickPeriod, also while the line is empty.
    HashingQueue(size_t threads, size_t capacity, std::function<void()> tick = {},
                 std::chrono::milliseconds tickPeriod = std::chrono::seconds(1));
    ~HashingQueue();
    HashingQueue(const HashingQueue &) = delete;
    HashingQueue &operator=(const HashingQueue &) = delete;

    static size_t DefaultThreads();

    // Runs job on a hashing thread and waits for its answer; nothing, without running it, when the line is full.
    // An exception of the job comes out here.
    std::optional<bool> run(std::function<bool()> job);

    size_t threads() const { return workers_.size(); }
    size_t waiting();
    size_t capacity() const { return capacity_; }

private:
    struct Job {
        std::function<bool()> work;
        std::promise<bool> done;
    };
    void work();

    size_t capacity_;
    std::function<void()> tick_;
    std::chrono::milliseconds tickPeriod_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> waiting_;
    bool stopping_ = false;
    bool ticking_ = false; // ticks never overlap
    std::chrono::steady_clock::time_point lastTick_;
    std::vector<std::thread> workers_;
};

} // namespace lumora::service
