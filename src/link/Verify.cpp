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

quint8 ByteAt(QByteArrayView bytes, int at)
{
    return at < bytes.size() ? static_cast<quint8>(bytes[at]) : quint8{0};
}

// The line a byte of the central form belongs to: seven date bytes a line, then one run of N
// bytes per further field, then the five chain heads.
int LineOfByte(int at, int lines)
{
    if (at < 7 * lines)
        return at / 7;
    if (at < 13 * lines)
        return (at - 7 * lines) % lines;
    return at - 13 * lines;
}

QByteArray AreaBytes(const tables::TableArea &area, int count)
{
    return QByteArray(reinterpret_cast<const char *>(area.data()),
                      std::clamp(count, 0, tables::TableAreaSize));
}

// "3 (07:30), 17 (22:15)": the index and the time of each line, as the sent table has them.
QString LinesText(const QList<int> &lines, const clock::ClockTable &table)
{
    QStringList parts;
    for (const int index : lines) {
        const clock::ClockLine *line = table.line(index);
        parts << (line ? QStringLiteral("%1 (%2:%3)")
                             .arg(index)
                             .arg(line->Hour, 2, 10, QLatin1Char('0'))
                             .arg(line->Minute, 2, 10, QLatin1Char('0'))
                       : QString::number(index));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

QList<int> CentralFormDifferences(QByteArrayView sent, QByteArrayView received, int lines)
{
    QList<int> different;
    if (lines <= 0)
        return different;
    for (int at = 0; at < CentralClockCompared(lines); ++at) {
        if (ByteAt(sent, at) == ByteAt(received, at))
            continue;
        const int line = LineOfByte(at, lines);
        if (!different.contains(line))
            different.append(line);
    }
    std::sort(different.begin(), different.end());
    return different;
}

VerifyOutcome SendAndVerifyClockTable(CentralLink &link, tables::TableSet &tables,
                                      clock::ClockTable &clockTable, project::ProjectModel &model,
                                      const platform::Clock &clock, bool setCentralClock)
{
    VerifyOutcome outcome;
    if (SendClockTable(link, tables, clockTable, model, clock, setCentralClock) != 0)
        return outcome;

    const settings::Strings &strings = link.strings();
    const int lines = clockTable.usableLines();
    // Receiving builds the set afresh: what was sent is kept aside first.
    const QByteArray sent =
        AreaBytes(tables[tables::TableSet::ClockSlot].Data, CentralClockCompared(lines));
    link.ShowProgressText(ReadingBackId);
    link.ClearStop();
    link.appendToTrace = true;
    if (link.ReceiveTables(tables, model, tables::TableSet::ClockSlot) != 0) {
        outcome.result = VerifyOutcome::Result::ReadBackFailed;
        outcome.message = strings.GetResString(NotVerifiedId);
        return outcome;
    }
    const QByteArray received = AreaBytes(tables[tables::TableSet::ClockSlot].Received,
                                          tables[tables::TableSet::ClockSlot].ReceivedLength);
    outcome.lines = CentralFormDifferences(sent, received, lines);
    if (outcome.lines.isEmpty()) {
        outcome.result = VerifyOutcome::Result::Verified;
        outcome.message = strings.GetResString(SentAndVerifiedId);
    } else {
        outcome.result = VerifyOutcome::Result::Different;
        outcome.message =
            strings.GetResString(LinesDifferId).arg(LinesText(outcome.lines, clockTable));
    }
    return outcome;
}

std::optional<CentralComparison> CompareWithCentral(CentralLink &link, tables::TableSet &tables,
                                                    const clock::ClockTable &open,
                                                    project::ProjectModel &model,
                                                    const platform::Clock &clock)
{
    CentralComparison comparison{{}, open};
    if (ReceiveClockTable(link, tables, comparison.unit, model, clock) != 0)
        return std::nullopt;
    comparison.diff =
        clock::DiffTables(open, comparison.unit, {clock::YearWindow::around(clock.now())});
    return comparison;
}

} // namespace quintara::link
