#include "link/Verify.h"

#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/Transfer.h"
#include "platform/Clock.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"

#include <algorithm>

namespace quintara::link {

namespace {

constexpr int SentAndVerifiedId = 2350;
constexpr int LinesDifferId = 2351; // "... Lines that differ: %1"
constexpr int ReadingBackId = 2352;
constexpr int NotVerifiedId = 2353;
constexpr int ChainStartId = 2386; // "start of the %1"

quint8 ByteAt(QByteArrayView bytes, int at)
{
    return at < bytes.size() ? static_cast<quint8>(bytes[at]) : quint8{0};
}

// The line a byte of the central form belongs to: seven date bytes a line, then one run of N
// bytes per further field. The five chain heads follow.
int LineOfByte(int at, int lines)
{
    if (at < 7 * lines)
        return at / 7;
    return (at - 7 * lines) % lines;
}

void AddOnce(QList<int> &list, int value)
{
    if (!list.contains(value))
        list.append(value);
}

QByteArray AreaBytes(const tables::TableArea &area, int count)
{
    return QByteArray(reinterpret_cast<const char *>(area.data()),
                      std::clamp(count, 0, tables::TableAreaSize));
}

// "3 (07:30), 17 (22:15), start of the Workday table": the index and the time of each line, as
// the sent table has them, then the day-tables whose chain begins differently.
QString DifferencesText(const CentralFormDifference &differences, const clock::ClockTable &table,
                        const settings::Strings &strings)
{
    QStringList parts;
    for (const int index : differences.lines) {
        const clock::ClockLine *line = table.line(index);
        parts << (line ? QStringLiteral("%1 (%2:%3)")
                             .arg(index)
                             .arg(line->Hour, 2, 10, QLatin1Char('0'))
                             .arg(line->Minute, 2, 10, QLatin1Char('0'))
                       : QString::number(index));
    }
    for (const int kind : differences.chainHeads)
        parts << strings.GetResString(ChainStartId)
                     .arg(strings.GetResString(clock::TableKindNameIds[kind]).trimmed());
    return parts.join(QStringLiteral(", "));
}

} // namespace

CentralFormDifference CentralFormDifferences(QByteArrayView sent, QByteArrayView received,
                                             int lines)
{
    CentralFormDifference different;
    if (lines <= 0)
        return different;
    for (int at = 0; at < CentralClockCompared(lines); ++at) {
        if (ByteAt(sent, at) == ByteAt(received, at))
            continue;
        if (at < 13 * lines)
            AddOnce(different.lines, LineOfByte(at, lines));
        else
            AddOnce(different.chainHeads, at - 13 * lines);
    }
    std::sort(different.lines.begin(), different.lines.end());
    std::sort(different.chainHeads.begin(), different.chainHeads.end());
    return different;
}

VerifyOutcome SendAndVerifyClockTable(CentralLink &link, const Drive &drive,
                                      tables::TableSet &tables, clock::ClockTable &clockTable,
                                      project::ProjectModel &model, const platform::Clock &clock,
                                      bool setCentralClock)
{
    VerifyOutcome outcome;
    if (!SendClockTable(link, drive, tables, clockTable, model, clock, setCentralClock).ok())
        return outcome;

    const settings::Strings &strings = link.strings();
    const int lines = clockTable.usableLines();
    // Receiving builds the set afresh: what was sent is kept aside first.
    const QByteArray sent =
        AreaBytes(tables[tables::TableSet::ClockSlot].Data, CentralClockCompared(lines));
    link.ShowProgressText(ReadingBackId);
    link.ClearStop();
    link.appendToTrace = true;
    link.startReceive(tables, model, tables::TableSet::ClockSlot);
    if (link.Busy())
        drive(link);
    if (!link.outcome().ok()) {
        outcome.result = VerifyOutcome::Result::ReadBackFailed;
        outcome.message = strings.GetResString(NotVerifiedId);
        return outcome;
    }
    const QByteArray received = AreaBytes(tables[tables::TableSet::ClockSlot].Received,
                                          tables[tables::TableSet::ClockSlot].ReceivedLength);
    outcome.differences = CentralFormDifferences(sent, received, lines);
    if (outcome.differences.empty()) {
        outcome.result = VerifyOutcome::Result::Verified;
        outcome.message = strings.GetResString(SentAndVerifiedId);
    } else {
        outcome.result = VerifyOutcome::Result::Different;
        outcome.message = strings.GetResString(LinesDifferId)
                              .arg(DifferencesText(outcome.differences, clockTable, strings));
    }
    return outcome;
}

std::optional<CentralComparison> CompareWithCentral(CentralLink &link, const Drive &drive,
                                                    tables::TableSet &tables,
                                                    const clock::ClockTable &open,
                                                    project::ProjectModel &model,
                                                    const platform::Clock &clock)
{
    CentralComparison comparison{{}, open};
    if (!ReceiveClockTable(link, drive, tables, comparison.unit, model, clock).ok())
        return std::nullopt;
    comparison.diff =
        clock::DiffTables(open, comparison.unit, {clock::YearWindow::around(clock.now())});
    return comparison;
}

} // namespace quintara::link
