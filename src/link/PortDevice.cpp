#include "link/PortDevice.h"

#include "link/NetworkLine.h"
#include "settings/ProfileFile.h"

#include <QRegularExpression>

namespace quintara::link {

DeviceMap DeviceMapFromSettings(const settings::ProfileFile &file)
{
    return [file](int portNumber) -> QString {
        if (portNumber < 1 || portNumber > MaxPortNumber)
            return {};
        return settings::PortDeviceName(file, portNumber).trimmed();
    };
}

PortChoice ChoosePort(const QString &port, const settings::ProfileFile &file)
{
    bool isNumber = false;
    const int number = port.toInt(&isNumber);
    if (isNumber)
        return {number, DeviceMapFromSettings(file)};
    return {1, [port](int n) { return n == 1 ? port : QString(); }};
}

std::optional<QString> PortDeviceRefusal(const QString &device)
{
    const QString text = device.trimmed();
    QString refusal;
    if (NetworkAddress::isNetwork(text)) {
        if (!NetworkAddress::parse(text, &refusal))
            return refusal;
        return std::nullopt;
    }
    // Any other scheme is a mistyped address, not a device.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(text).hasMatch())
        return QStringLiteral("not tcp://HOST:PORT or rfc2217://HOST:PORT");
    return std::nullopt;
}

bool BindPort(settings::ProfileFile &file, int portNumber, const QString &device)
{
    if (portNumber < 1 || portNumber > MaxPortNumber || PortDeviceRefusal(device))
        return false;
    return file.writeString(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(portNumber),
                            device.trimmed());
}

} // namespace quintara::link
