#include "HashingQueue.h"

#include <algorithm>

namespace lumora::service
{

size_t HashingQueue::DefaultThreads()
{
    return std::max(1u, std::thread::hardware_concurrency() / 2);
}

HashingQueue::HashingQueue(size_t threads, size_t capacity, std::function<void()> tick,
                           std::chrono::milliseconds tickPeriod)
    : tick_(std::move(tick)), tickPeriod_(std::max(tickPeriod, std::chrono::milliseconds(1))),
      lastTick_(std::chrono::steady_clock::now())
{
    if (threads == 0)
        threads = DefaultThreads();
    capacity_ = capacity == 0 ? 4 * threads : capacity;
    workers_.reserve(threads);
    for (size_t i = 0; i < threads; ++i)
        workers_.emplace_back([this] { work(); });
}

HashingQueue::~HashingQueue()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto &worker : workers_)
        worker.join();
}

std::optional<bool> HashingQueue::run(std::function<bool()> job)
{
    std::future<bool> answer;
    {
        std::lock_guard lock(mutex_);
        if (waiting_.size() >= capacity_ || stopping_)
            return std::nullopt;
        waiting_.push_back(Job{std::move(job), {}});
        answer = waiting_.back().done.get_future();
    }
    wake_.notify_one();
    return answer.get();
}

size_t HashingQueue::waiting()
{
    std::lock_guard lock(mutex_);
    return waiting_.size();
}

void HashingQueue::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, tickPeriod_, [this] { return stopping_ || !waiting_.empty(); });
        if (tick_ && !ticking_ && std::chrono::steady_clock::now() - lastTick_ >= tickPeriod_) {
            ticking_ = true;
            lock.unlock();
            try {
                tick_();
            } catch (...) {
                // a report that could not be written is not worth a hashing thread
            }
            lock.lock();
            ticking_ = false;
            lastTick_ = std::chrono::steady_clock::now();
        }
        if (waiting_.empty()) {
            if (stopping_)
                return;
            continue;
        }
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        try {
            job.done.set_value(job.work());
        } catch (...) {
            job.done.set_exception(std::current_exception());
        }
        lock.lock();
    }
}

} // namespace lumora::service
