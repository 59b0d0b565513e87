#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// Items 0, 1, 2... read on threads of their own (item i by worker i % workers), at most
// `ahead` items beyond the one being used, so that reading the next items overlaps using
// this one. What reading throws comes out of Next in its place; an object that ends early
// stops the reading after the items in hand.
template <typename Item> class TReadAhead {
public:
    // read(i, worker) reads item i; a worker reads its items one after another.
    TReadAhead(std::function<Item(std::size_t, std::size_t)> read, std::size_t count,
               std::size_t workers = 1, std::size_t ahead = 2)
        : m_read(std::move(read)), m_count(count), m_workers(workers), m_ahead(ahead) {
        try {
            for (std::size_t w = 0; w < m_workers; ++w)
                m_threads.emplace_back([this, w] { run(w); });
        } catch (...) {
            stop();
            throw;
        }
    }

    ~TReadAhead() { stop(); }

    TReadAhead(const TReadAhead&) = delete;
    TReadAhead& operator=(const TReadAhead&) = delete;

    // The next item in order; at most count calls.
    Item Next() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ready.contains(m_next) || m_failed <= m_next; });
        const auto found = m_ready.find(m_next);
        if (found == m_ready.end())
            std::rethrow_exception(m_failure);
        Item item = std::move(found->second);
        m_ready.erase(found);
        ++m_next;
        m_changed.notify_all();
        return item;
    }

private:
    void stop() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    void run(std::size_t worker) {
        for (std::size_t i = worker; i < m_count; i += m_workers) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this, i] { return m_stop || i < m_next + m_ahead; });
                if (m_stop)
                    return;
            }
            try {
                Item item = m_read(i, worker);
                std::lock_guard lock(m_mutex);
                m_ready.emplace(i, std::move(item));
            } catch (...) {
                std::lock_guard lock(m_mutex);
                if (i < m_failed) {
                    m_failed = i;
                    m_failure = std::current_exception();
                }
                m_changed.notify_all();
                return;
            }
            m_changed.notify_all();
        }
    }

    std::function<Item(std::size_t, std::size_t)> m_read;
    const std::size_t m_count;
    const std::size_t m_workers;
    const std::size_t m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<std::size_t, Item> m_ready;                 // by index
    std::size_t m_next = 0;                              // the index Next gives
    std::size_t m_failed = static_cast<std::size_t>(-1); // the first index that failed
    std::exception_ptr m_failure;
    bool m_stop = false;
    std::vector<std::thread> m_threads; // started once everything above exists
};
