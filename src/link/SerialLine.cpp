#include "link/SerialLine.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace quintara::link {

namespace {

constexpr std::array<qint32, 16> StandardBaudRates = {110,   300,    600,    1200,  2400,  4800,
                                                      9600,  14400,  19200,  28800, 38400, 56000,
                                                      57600, 115200, 128000, 256000};

} // namespace

std::optional<LineParameters> LineParameters::parse(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;

    LineParameters result;
    bool ok = false;
    result.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || std::find(StandardBaudRates.begin(), StandardBaudRates.end(), result.baudRate) ==
                   StandardBaudRates.end())
        return std::nullopt;

    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity))
        return std::nullopt;
    result.parity = parity.at(0).toLatin1();

    result.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || result.dataBits < 5 || result.dataBits > 8)
        return std::nullopt;

    result.stopBits = parts[3].trimmed().toInt(&ok);
    if (!ok || (result.stopBits != 1 && result.stopBits != 2))
        return std::nullopt;
    return result;
}

QString LineParameters::toString() const
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(QLatin1Char(parity))
        .arg(dataBits)
        .arg(stopBits);
}

} // namespace quintara::link
