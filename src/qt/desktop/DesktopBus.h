#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <functional>

#include "base/DesktopSignals.h"

namespace tolvane {

// Sends `call` without starting any service for it, and hands the reply (or the error, also
// after the time limit) to `answer` on the event loop, unless `context` is gone by then.
void AskBus(const QDBusConnection& bus, QDBusMessage call, QObject* context,
            std::function<void(const QDBusMessage&)> answer);

// org.freedesktop.DBus.Properties.Get of one property.
QDBusMessage PropertyCall(const QString& service, const QString& path, const QString& interface,
                          const QString& property);

// A reply's first value, unwrapped from its variant, as on or off: on when it equals `on`.
// An error or a value that is no boolean is unknown.
SignalState BooleanAnswer(const QDBusMessage& reply, bool on = true);

}  // namespace tolvane
