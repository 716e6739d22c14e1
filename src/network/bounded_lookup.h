#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <optional>

// The addresses of a host name, or nothing when the name is unknown. An address given as text is
// taken as it is. A resolver that takes longer than `timeoutMs` is left to finish on its own, so
// that a slow name server cannot hold the window: that gives an empty list, told apart from an
// unknown name by `timedOut`.
QList<QHostAddress> LookUpHost(const QString& host, int timeoutMs, bool& timedOut);
