#pragma once

// Hands what the link reader thread receives to the window's thread. The
// reader waits when too much is unread, so a sender that floods the line
// is held back by the line itself instead of by the arm's memory.

#include "ArmModel.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

namespace arm {

struct InboxItem {
    Millis time = 0;
    std::string bytes;
    bool sender_closed = false;
};

class LinkInbox {
  public:
    explicit LinkInbox(std::size_t limit_bytes = 1 << 20) : m_limit(limit_bytes) {}

    // Adds an item; true when the inbox was empty (the reader then wakes the
    // window). Waits while the unread bytes are over the limit, unless
    // closed.
    bool put(InboxItem item) {
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [&] { return m_closed || m_bytes < m_limit; });
        bool was_empty = m_items.empty();
        m_bytes += item.bytes.size();
        m_items.push_back(std::move(item));
        return was_empty;
    }

    std::deque<InboxItem> take() {
        std::lock_guard lock(m_mutex);
        std::deque<InboxItem> items;
        items.swap(m_items);
        m_bytes = 0;
        m_room.notify_all();
        return items;
    }

    // Lets a waiting put() go on and keeps later ones from waiting.
    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_room.notify_all();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_room;
    std::deque<InboxItem> m_items;
    std::size_t m_bytes = 0;
    std::size_t m_limit;
    bool m_closed = false;
};

} // namespace arm
