#pragma once

#include <QByteArray>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// A raw TCP source on 127.0.0.1 for a socket:// port: it takes one connection and feeds it lines of
// text at a given rate, a tick's worth at once, from a thread of its own. Like the instrument's stream
// it adds a tick's text only while less than that waits, so a slow reader slows the source instead of
// growing its backlog, and what it has sent is what a reader can get.
class StreamServer
{
public:
    StreamServer(qint64 bytesPerSecond, int tickMs)
        : tickMs_(tickMs)
        , tick_(bytesPerSecond * tickMs / 1000)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~StreamServer()
    {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }

    quint16 Port() const { return port_; }
    // The bytes the system has taken from the source so far.
    qint64 Sent() const { return sent_; }
    // No more text is added; what waits still goes.
    void Pause() { paused_ = true; }

private:
    void Run()
    {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        QByteArray line = "0123456789 The quick brown fox jumps over the lazy dog. 0123456789\r\n", text,
                   waiting;
        while (text.size() < tick_)
            text += line;
        text.truncate(tick_);
        auto next = std::chrono::steady_clock::now();
        while (!stop_) {
            if (std::chrono::steady_clock::now() >= next) {
                if (!paused_ && waiting.size() < tick_)
                    waiting += text;
                next += std::chrono::milliseconds(tickMs_);
            }
            const ssize_t written = waiting.isEmpty()
                ? 0
                : ::send(client, waiting.data(), waiting.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
            if (written > 0)
                sent_ += written, waiting.remove(0, written);
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                next - std::chrono::steady_clock::now());
            pollfd writable { client, short(waiting.isEmpty() ? 0 : POLLOUT), 0 };
            ::poll(&writable, 1, std::max<int>(0, int(left.count())));
        }
        ::close(client);
    }

    const int tickMs_;
    const qsizetype tick_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_ = false, paused_ = false;
    std::atomic<qint64> sent_ = 0;
    std::thread thread_;
};
