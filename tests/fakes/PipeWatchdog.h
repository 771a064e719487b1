#pragma once

#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

// Guards a test against code that blocks on a named pipe: unless released
// within the time, the pipe is opened at both ends and closed again, which
// ends a blocked open of either end, so the test fails instead of hanging.
class PipeWatchdog {
public:
    explicit PipeWatchdog(const QString& pipe, std::chrono::seconds patience = std::chrono::seconds(30))
        : m_pipe(QFile::encodeName(pipe)), m_thread([this, patience] {
              std::unique_lock lock(m_mutex);
              if (!m_released.wait_for(lock, patience, [this] { return m_done; })) {
                  m_fired = true;
                  ::close(::open(m_pipe.constData(), O_RDWR | O_NONBLOCK));
              }
          }) {}
    ~PipeWatchdog() { release(); }
    PipeWatchdog(const PipeWatchdog&) = delete;
    PipeWatchdog& operator=(const PipeWatchdog&) = delete;

    // Whether the pipe had to be opened: the guarded code was blocked.
    bool release() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_released.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        return m_fired;
    }

private:
    QByteArray m_pipe;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_done = false;
    bool m_fired = false;
    std::thread m_thread;
};
