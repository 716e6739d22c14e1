#include "scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedServer::ScriptedServer(QByteArray greeting, Peer peer)
    : greeting_(std::move(greeting))
    , peer_(peer)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    ::listen(listener_, 4);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread(&ScriptedServer::Serve, this);
}

ScriptedServer::~ScriptedServer()
{
    stop_ = true;
    thread_.join();
    ::close(client_);
    ::close(listener_);
}

void ScriptedServer::Send(const QByteArray& bytes)
{
    const std::lock_guard lock(mutex_);
    pending_ += bytes;
}

void ScriptedServer::Reset()
{
    reset_ = true;
}

QByteArray ScriptedServer::Data()
{
    const std::lock_guard lock(mutex_);
    return data_;
}

QList<TelnetMessage> ScriptedServer::Messages()
{
    const std::lock_guard lock(mutex_);
    return messages_;
}

// One connection at a time; a new one replaces the old.
void ScriptedServer::Serve()
{
    while (!stop_) {
        pollfd ready[2] = { { listener_, POLLIN, 0 }, { client_, POLLIN, 0 } };
        ::poll(ready, client_ < 0 ? 1 : 2, 5);
        if (ready[0].revents & POLLIN)
            Accept();
        if (client_ >= 0 && (ready[1].revents & (POLLIN | POLLHUP)))
            Read();
        if (client_ >= 0 && reset_.exchange(false)) {
            const linger abortive { 1, 0 };
            ::setsockopt(client_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            ::close(client_), client_ = -1;
        }
        WritePending();
    }
}

void ScriptedServer::Accept()
{
    ::close(client_);
    client_ = ::accept(listener_, nullptr, nullptr);
    ++connections_;
    (void)!::write(client_, greeting_.data(), greeting_.size());
}

void ScriptedServer::Read()
{
    char chunk[4096];
    const ssize_t got = ::read(client_, chunk, sizeof chunk);
    if (got <= 0) {
        ::close(client_), client_ = -1;
        return;
    }
    const std::lock_guard lock(mutex_);
    if (peer_ == Peer::Raw)
        data_.append(chunk, got);
    else
        parser_.Feed(QByteArrayView(chunk, got), data_, messages_);
}

void ScriptedServer::WritePending()
{
    const std::lock_guard lock(mutex_);
    if (client_ >= 0 && !pending_.isEmpty())
        (void)!::write(client_, pending_.data(), pending_.size());
    pending_.clear();
}
