#include "network/bounded_lookup.h"

#include <QHostInfo>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace
{

struct Lookup {
    std::mutex mutex;
    std::condition_variable finished;
    std::optional<QList<QHostAddress>> addresses;
};

} // namespace

QList<QHostAddress> LookUpHost(const QString& host, int timeoutMs, bool& timedOut)
{
    timedOut = false;
    if (QHostAddress literal; literal.setAddress(host))
        return { literal };
    // The thread owns its share of the result, so it may outlive this call.
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host] {
        QList<QHostAddress> found = QHostInfo::fromName(host).addresses();
        const std::lock_guard lock(lookup->mutex);
        lookup->addresses = std::move(found);
        lookup->finished.notify_one();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->finished.wait_for(
            lock, std::chrono::milliseconds(timeoutMs), [&] { return lookup->addresses.has_value(); })) {
        timedOut = true;
        return {};
    }
    return *lookup->addresses;
}
