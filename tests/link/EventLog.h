#pragma once

#include "link/Kalvenor.h"

#include <QString>
#include <QStringList>

#include <ostream>
#include <utility>

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
        log(link, std::pair{&K::ErrMsg, "ErrMsg"}, std::pair{&K::TpKey, "TpKey"},
            std::pair{&K::Regime, "Regime"}, std::pair{&K::Relay, "Relay"},
            std::pair{&K::Dimmer, "Dimmer"}, std::pair{&K::LocalMood, "LocalMood"},
            std::pair{&K::TimedLocalMood, "TimedLocalMood"},
            std::pair{&K::GeneralMood, "GeneralMood"}, std::pair{&K::Audio, "Audio"},
            std::pair{&K::Flag, "Flag"}, std::pair{&K::Proces, "Proces"},
            std::pair{&K::Condition, "Condition"}, std::pair{&K::Temperature, "Temperature"},
            std::pair{&K::Light, "Light"}, std::pair{&K::Humidity, "Humidity"},
            std::pair{&K::TemperatureSet, "TemperatureSet"}, std::pair{&K::LightSet, "LightSet"});
    }

    QStringList events;

    QStringList take() { return std::exchange(events, {}); }

private:
    // Each signal with its name: the name and the arguments as the event's text.
    template <typename... Signal> void log(link::Kalvenor &link, const Signal &...signal)
    {
        (QObject::connect(&link, signal.first,
                          [this, name = signal.second](const auto &...arguments) {
                              QStringList texts;
                              ((texts << QStringLiteral("%1").arg(arguments)), ...);
                              events << QStringLiteral("%1(%2)").arg(QLatin1String(name),
                                                                     texts.join(u','));
                          }),
         ...);
    }
};

} // namespace quintara::testing
