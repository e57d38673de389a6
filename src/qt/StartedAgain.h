#pragma once

#include <QLocalServer>
#include <QObject>

#include <functional>
#include <string>

namespace tolvane {

// How a second copy reaches the running one: a local socket beside the single-instance
// marker, private to the user like the marker's folder. The second copy connects and ends; the
// running copy hears it and opens its settings dialog, the way in where no tray can be reached.
std::string StartedAgainSocket(const std::string& markerPath);

// Connects to the running copy's socket and hangs up; false when nobody listens there.
bool TellRunningCopy(const std::string& markerPath);

// The running copy's end: `heard` runs for every connection.
class StartedAgainListener final : public QObject {
public:
    StartedAgainListener(const std::string& markerPath, std::function<void()> heard);

private:
    QLocalServer m_server;
    std::function<void()> m_heard;
};

}  // namespace tolvane
