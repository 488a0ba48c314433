#include "tools/central-sim/SimCommand.h"

#include "tools/central-sim/CentralUnit.h"
#include "tools/central-sim/TransferCommand.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace quintara::sim {

namespace {

std::optional<quint8> ParseByte(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > 255)
        return std::nullopt;
    return static_cast<quint8>(value);
}

// All words from `first` on as bytes; nothing when one of them is not a byte.
std::optional<QByteArray> ParseBytes(const QStringList &words, int first)
{
    QByteArray bytes;
    for (int i = first; i < words.size(); ++i) {
        const auto byte = ParseByte(words[i]);
        if (!byte)
            return std::nullopt;
        bytes.append(static_cast<char>(*byte));
    }
    return bytes;
}

CommandResult Ok()
{
    return {true, QStringLiteral("ok"), false};
}

CommandResult Error(const QString &why)
{
    return {false, why, false};
}

CommandResult RunReport(CentralUnit &unit, const QStringList &words)
{
    const auto bytes = ParseBytes(words, 2);
    if (words.size() < 2 || !bytes)
        return Error(QStringLiteral("usage: report key|sensor|state <byte>..."));
    const QString &what = words[1];
    const auto b = [&](int i) { return static_cast<quint8>(bytes->at(i)); };
    if (what == QLatin1String("key") && (bytes->size() == 2 || bytes->size() == 3)) {
        unit.sendKeyReport(b(0), b(1), bytes->size() == 3 ? b(2) : 0);
        return Ok();
    }
    if (what == QLatin1String("sensor") && bytes->size() == 3) {
        unit.sendSensorReport(b(0), b(1), b(2));
        return Ok();
    }
    if (what == QLatin1String("state") && (bytes->size() == 2 || bytes->size() == 3)) {
        if (bytes->size() == 3)
            unit.setState(b(0), b(1), b(2));
        unit.sendStateReport(b(0), b(1));
        return Ok();
    }
    return Error(QStringLiteral("usage: report key <panel> <key> [<extra>] | sensor <kind> "
                                "<number> <raw> | state <kind> <number> [<raw>]"));
}

CommandResult RunFault(CentralUnit &unit, const QString &which, const QString &onOff)
{
    bool *flag = nullptr;
    if (which == QLatin1String("checksum"))
        flag = &unit.faults.corruptChecksum;
    else if (which == QLatin1String("silence"))
        flag = &unit.faults.silence;
    else if (which == QLatin1String("noise"))
        flag = &unit.faults.noise;
    if (!flag || (onOff != QLatin1String("on") && onOff != QLatin1String("off")))
        return Error(QStringLiteral("usage: fault checksum|silence|noise on|off"));
    *flag = onOff == QLatin1String("on");
    return Ok();
}

// line in|out drop|dup|corrupt|any <n> | random <percent>, or line in|out off.
CommandResult RunLine(CentralUnit &unit, const QStringList &words)
{
    const CommandResult usage = Error(QStringLiteral(
        "usage: line in|out drop|dup|corrupt|any <n>|random <percent> | line in|out off"));
    if (words.size() < 3 || (words[1] != QLatin1String("in") && words[1] != QLatin1String("out")))
        return usage;
    LineFault &fault = words[1] == QLatin1String("in") ? unit.lineIn : unit.lineOut;
    if (words[2] == QLatin1String("off") && words.size() == 3) {
        fault.clear();
        return Ok();
    }
    using Kind = LineFault::Kind;
    static const QList<std::pair<QString, Kind>> kinds = {
        {QStringLiteral("drop"), Kind::Drop},
        {QStringLiteral("dup"), Kind::Duplicate},
        {QStringLiteral("corrupt"), Kind::Corrupt},
        {QStringLiteral("any"), Kind::Any}};
    const auto kind = std::find_if(kinds.begin(), kinds.end(),
                                   [&](const auto &k) { return k.first == words[2]; });
    if (kind == kinds.end())
        return usage;
    bool ok = false;
    if (words.size() == 5 && words[3] == QLatin1String("random")) {
        const double percent = words[4].toDouble(&ok);
        if (!ok || percent < 0 || percent > 100)
            return usage;
        fault.setRandom(kind->second, percent / 100);
        return Ok();
    }
    const int n = words.value(3).toInt(&ok);
    if (words.size() != 4 || !ok || n < 1)
        return usage;
    fault.setNth(kind->second, n);
    return Ok();
}

} // namespace

CommandResult RunCommand(CentralUnit &unit, const QString &line)
{
    const QStringList words =
        line.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return Error(QStringLiteral("empty command"));
    const QString &command = words[0];

    if (command == QLatin1String("quit") || command == QLatin1String("exit"))
        return {true, QStringLiteral("bye"), true};
    if (command == QLatin1String("help"))
        return {true, CommandHelp(), false};
    if (command == QLatin1String("report"))
        return RunReport(unit, words);
    if (auto transfer = RunTransferCommand(unit, words))
        return *transfer;
    if (command == QLatin1String("fault") && words.size() == 3)
        return RunFault(unit, words[1], words[2]);
    if (command == QLatin1String("line"))
        return RunLine(unit, words);
    if (command == QLatin1String("noise") && words.size() == 2)
        return RunFault(unit, words[0], words[1]);
    if (command == QLatin1String("set")) {
        const auto bytes = ParseBytes(words, 1);
        if (!bytes || bytes->size() != 3)
            return Error(QStringLiteral("usage: set <kind> <number> <raw>"));
        unit.setState(static_cast<quint8>(bytes->at(0)), static_cast<quint8>(bytes->at(1)),
                      static_cast<quint8>(bytes->at(2)));
        return Ok();
    }
    if (command == QLatin1String("frame") || command == QLatin1String("raw")) {
        const auto bytes = ParseBytes(words, 1);
        if (!bytes || bytes->isEmpty() ||
            (command == QLatin1String("frame") && bytes->size() > 253))
            return Error(QStringLiteral("usage: %1 <byte>...").arg(command));
        if (command == QLatin1String("frame"))
            unit.sendFrame(*bytes);
        else
            unit.sendRaw(*bytes);
        return Ok();
    }
    return Error(QStringLiteral("unknown command \"%1\" (try help)").arg(command));
}

QString CommandHelp()
{
    return QStringLiteral(
               "report key <panel> <key> [<extra>] | report sensor <kind> <number> <raw> | "
               "report state <kind> <number> [<raw>] | set <kind> <number> <raw> | frame <byte>... "
               "| "
               "raw <byte>... | fault checksum|silence|noise on|off | "
               "line in|out drop|dup|corrupt|any <n>|random <percent> | line in|out off | ") +
           TransferCommandHelp() + QStringLiteral(" | quit");
}

} // namespace quintara::sim
