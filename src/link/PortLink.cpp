#include "link/PortLink.h"

#include "link/Connection.h"
#include "settings/ProfileFile.h"

namespace quintara::link {

PortLink::PortLink(const QString &port, const settings::ProfileFile &profile,
                   const settings::Strings &strings)
    : m_port(ChoosePort(port, profile)), m_line(m_port.devices), m_link(m_line, m_pump, strings)
{
    m_link.setup.portNumber = m_port.number;
    m_link.setup.handshakeKey = HandshakeKeyFromSettings(profile);
    m_link.setTrace(&m_trace);
}

Drive PortLink::drive()
{
    return [this](CentralLink &link) {
        while (link.Busy()) {
            m_pump.processEvents(link.msUntilNextLook());
            link.advance();
        }
    };
}

} // namespace quintara::link
