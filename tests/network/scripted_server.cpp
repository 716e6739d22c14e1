#include "scripted_server.h"

#include "network/telnet_codec.h"
#include "network/telnet_parser.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedServer::ScriptedServer(QByteArray greeting)
    : greeting_(std::move(greeting))
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {
        .sin_family = AF_INET, .sin_port = 0, .sin_addr = { htonl(INADDR_LOOPBACK) }, .sin_zero = {}
    };
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
    ::close(client_), ::close(listener_);
}

QByteArray ScriptedServer::Received()
{
    const std::lock_guard lock(mutex_);
    return received_;
}

QList<QByteArray> ScriptedServer::ComPortCommands()
{
    QByteArray data;
    QList<TelnetMessage> messages;
    TelnetParser().Feed(Received(), data, messages);
    QList<QByteArray> commands;
    for (const TelnetMessage& message : messages)
        if (message.verb == TelnetSb && message.option == TelnetComPort)
            commands << message.payload;
    return commands;
}

void ScriptedServer::Serve()
{
    for (char chunk[4096]; !stop_;) {
        pollfd ready[2] = { { listener_, POLLIN, 0 }, { client_, POLLIN, 0 } };
        ::poll(ready, 2, 5);
        if (ready[0].revents & POLLIN) {
            ::close(client_.exchange(::accept(listener_, nullptr, nullptr)));
            ++connections_;
            (void)!::write(client_, greeting_.data(), greeting_.size());
        }
        const ssize_t got = ready[1].revents ? ::read(client_, chunk, sizeof chunk) : -1;
        if (reset_.exchange(false) || got == 0) {
            const linger abortive { 1, 0 };
            ::setsockopt(client_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            ::close(client_.exchange(-1));
        }
        const std::lock_guard lock(mutex_);
        received_.append(chunk, std::max<ssize_t>(got, 0));
    }
}
