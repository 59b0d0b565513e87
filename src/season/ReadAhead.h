#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// Items 0, 1, 2... read on a thread of its own, at most `ahead` items before the one being
// used, so that reading the next item overlaps using this one. What reading throws comes
// out of Next in its place; an object that ends early stops the reading after the item in
// hand.
template <typename Item> class TReadAhead {
public:
    TReadAhead(std::function<Item(std::size_t)> read, std::size_t count, std::size_t ahead = 2)
        : m_read(std::move(read)), m_count(count), m_ahead(ahead), m_thread([this] { run(); }) {}

    ~TReadAhead() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    TReadAhead(const TReadAhead&) = delete;
    TReadAhead& operator=(const TReadAhead&) = delete;

    // The next item in order; at most count calls.
    Item Next() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty() || m_failure; });
        if (m_ready.empty())
            std::rethrow_exception(m_failure);
        Item item = std::move(m_ready.front());
        m_ready.pop_front();
        m_changed.notify_all();
        return item;
    }

private:
    void run() {
        try {
            for (std::size_t i = 0; i < m_count; ++i) {
                {
                    std::unique_lock lock(m_mutex);
                    m_changed.wait(lock, [this] { return m_stop || m_ready.size() < m_ahead; });
                    if (m_stop)
                        return;
                }
                Item item = m_read(i);
                {
                    std::lock_guard lock(m_mutex);
                    m_ready.push_back(std::move(item));
                }
                m_changed.notify_all();
            }
        } catch (...) {
            {
                std::lock_guard lock(m_mutex);
                m_failure = std::current_exception();
            }
            m_changed.notify_all();
        }
    }

    std::function<Item(std::size_t)> m_read;
    const std::size_t m_count;
    const std::size_t m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_ready;
    std::exception_ptr m_failure;
    bool m_stop = false;
    std::thread m_thread; // last: it starts once everything above exists
};
