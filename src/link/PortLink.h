#pragma once

#include "link/PortDevice.h"
#include "link/DeviceLine.h"
#include "link/TrafficTrace.h"
#include "link/Transfer.h"
#include "platform/EventPump.h"

namespace quintara::settings {
class ProfileFile;
class Strings;
} // namespace quintara::settings

namespace quintara::link {

// One unattended transfer's link on a port as a user names it (a number through the settings'
// [Ports] map, a device, or a serial port server's tcp:// or rfc2217:// address): the line, the events it runs on and a trace of every byte. The
// port number and the settings' handshake key are set; the caller sets the rest of `setup`.
class PortLink {
public:
    PortLink(const QString &port, const settings::ProfileFile &profile,
             const settings::Strings &strings);
    PortLink(const PortLink &) = delete;
    PortLink &operator=(const PortLink &) = delete;

    CentralLink &link() { return m_link; }
    const TrafficTrace &trace() const { return m_trace; }
    // Runs the events and advances the link until its job is done.
    Drive drive();

private:
    PortChoice m_port;
    DeviceLine m_line;
    platform::QtEventPump m_pump;
    CentralLink m_link;
    TrafficTrace m_trace;
};

} // namespace quintara::link
