#include "tools/central-sim/TransferCommand.h"

#include "tools/central-sim/CentralUnit.h"

#include <utility>

namespace quintara::sim {

namespace {

CommandResult Reply(const QString &text)
{
    return {true, text, false};
}

CommandResult Usage()
{
    return {false, QStringLiteral("usage: ") + TransferCommandHelp(), false};
}

std::optional<TransferSide::SilentStep> SilentStepNamed(const QString &name)
{
    using Step = TransferSide::SilentStep;
    static const QList<std::pair<QString, Step>> steps = {
        {QStringLiteral("none"), Step::None},
        {QStringLiteral("access-code"), Step::AccessCode},
        {QStringLiteral("identification"), Step::Identification},
        {QStringLiteral("init"), Step::Init},
        {QStringLiteral("header"), Step::Header},
        {QStringLiteral("block"), Step::Block},
        {QStringLiteral("empty-block"), Step::EmptyBlock},
        {QStringLiteral("ending"), Step::Ending},
    };
    for (const auto &[text, step] : steps) {
        if (text == name)
            return step;
    }
    return std::nullopt;
}

// The switchable fault of the transfer side a console word names; null for none.
bool *FaultFlagNamed(TransferSide &side, const QString &which)
{
    const std::pair<const char *, bool *> flags[] = {
        {"echo", &side.faults.wrongHeaderEcho},
        {"nak", &side.faults.nak},
        {"nak-closing", &side.faults.nakClosingBlock},
        {"checksum", &side.faults.corruptBlockChecksum},
        {"ending", &side.faults.wrongEnding},
        {"modem", &side.faults.modemSilent},
        {"endless", &side.faults.endlessTable},
    };
    for (const auto &[name, flag] : flags) {
        if (which == QLatin1String(name))
            return flag;
    }
    return nullptr;
}

} // namespace

std::optional<CommandResult> RunTransferCommand(CentralUnit &unit, const QStringList &words)
{
    if (words.isEmpty() || words[0] != QLatin1String("transfer"))
        return std::nullopt;
    TransferSide &side = unit.transfer();
    const QString what = words.value(1);

    if (what == QLatin1String("silent") && words.size() == 3) {
        const auto step = SilentStepNamed(words[2]);
        if (!step)
            return Usage();
        side.faults.silentAt = *step;
        return Reply(QStringLiteral("ok"));
    }
    if (what == QLatin1String("fault") && words.size() == 4) {
        bool *flag = FaultFlagNamed(side, words[2]);
        if (!flag || (words[3] != QLatin1String("on") && words[3] != QLatin1String("off")))
            return Usage();
        *flag = words[3] == QLatin1String("on");
        return Reply(QStringLiteral("ok"));
    }
    if ((what == QLatin1String("key") || what == QLatin1String("id") ||
         what == QLatin1String("version")) &&
        words.size() == 3) {
        bool ok = false;
        const uint value = words[2].toUInt(&ok, 0);
        if (!ok || value > 255)
            return Usage();
        const auto byte = static_cast<quint8>(value);
        if (what == QLatin1String("key"))
            side.config().key = byte;
        else if (what == QLatin1String("id"))
            side.config().identification = byte;
        else
            side.config().version = byte;
        return Reply(QStringLiteral("ok"));
    }
    if (what == QLatin1String("corrupt-store") && words.size() == 3) {
        if (words[2] == QLatin1String("off")) {
            side.faults.corruptStoreAt.reset();
            return Reply(QStringLiteral("ok"));
        }
        bool ok = false;
        const int offset = words[2].toInt(&ok);
        if (!ok || offset < 0 || offset >= TransferSide::MaxTableSize)
            return Usage();
        side.faults.corruptStoreAt = offset;
        return Reply(QStringLiteral("ok"));
    }
    if (what == QLatin1String("tables") && words.size() == 2) {
        QStringList lengths;
        for (int n = 0; n < TransferSide::TableCount; ++n)
            lengths.append(QStringLiteral("%1:%2").arg(n).arg(
                side.tables[static_cast<std::size_t>(n)].size()));
        return Reply(lengths.join(QLatin1Char(' ')));
    }
    if (what == QLatin1String("table") && words.size() == 3) {
        bool ok = false;
        const int n = words[2].toInt(&ok);
        if (!ok || n < 0 || n >= TransferSide::TableCount)
            return Usage();
        QStringList bytes;
        for (char c : side.tables[static_cast<std::size_t>(n)])
            bytes.append(QString::number(static_cast<quint8>(c)));
        return Reply(bytes.join(QLatin1Char(' ')));
    }
    return Usage();
}

QString TransferCommandHelp()
{
    return QStringLiteral(
        "transfer silent none|access-code|identification|init|header|block|empty-block|ending | "
        "transfer fault echo|nak|nak-closing|checksum|ending|modem|endless on|off | "
        "transfer key|id|version <byte> | transfer corrupt-store <offset>|off | "
        "transfer tables | transfer table <n>");
}

} // namespace quintara::sim
