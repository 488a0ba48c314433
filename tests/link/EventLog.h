#pragma once

#include "link/Kalvenor.h"

#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for the event lists.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace quintara::testing {

// Every event of a link control as text, "Dimmer(7,50)", in the order raised.
class EventLog {
public:
    explicit EventLog(link::Kalvenor &link)
    {
        using K = link::Kalvenor;
        QObject::connect(&link, &K::ErrMsg, [this](qint16 code, const QString &msg) {
            events << QStringLiteral("ErrMsg(%1,%2)").arg(code).arg(msg);
        });
        QObject::connect(&link, &K::TpKey, [this](qint16 a, qint16 b, qint16 c) {
            events << QStringLiteral("TpKey(%1,%2,%3)").arg(a).arg(b).arg(c);
        });
        QObject::connect(&link, &K::Regime,
                         [this](qint16 outp) { events << QStringLiteral("Regime(%1)").arg(outp); });
        two(link, &K::Relay, "Relay");
        two(link, &K::Dimmer, "Dimmer");
        two(link, &K::LocalMood, "LocalMood");
        two(link, &K::TimedLocalMood, "TimedLocalMood");
        two(link, &K::GeneralMood, "GeneralMood");
        two(link, &K::Audio, "Audio");
        two(link, &K::Flag, "Flag");
        two(link, &K::Proces, "Proces");
        two(link, &K::Condition, "Condition");
        two(link, &K::Temperature, "Temperature");
        two(link, &K::Light, "Light");
        two(link, &K::Humidity, "Humidity");
        two(link, &K::TemperatureSet, "TemperatureSet");
        two(link, &K::LightSet, "LightSet");
    }

    QStringList events;

    QStringList take()
    {
        QStringList taken;
        taken.swap(events);
        return taken;
    }

private:
    template <typename Value>
    void two(link::Kalvenor &link, void (link::Kalvenor::*signal)(qint16, Value), const char *name)
    {
        QObject::connect(&link, signal, [this, name](qint16 outp, Value value) {
            events << QStringLiteral("%1(%2,%3)").arg(QLatin1String(name)).arg(outp).arg(value);
        });
    }
};

} // namespace quintara::testing
