#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "tables/TableCompiler.h"
#include "tables/TableSet.h"

#include <QJsonArray>

namespace quintara::cli {

namespace {

QByteArray SentBytes(const tables::CentralTable &table)
{
    return QByteArray(reinterpret_cast<const char *>(table.Data.data()), table.Length);
}

constexpr int BytesPerRow = 16;

} // namespace

int RunTables(Session &session, const QString &projectFile, const OutputOptions &output,
              QTextStream &out)
{
    if (!session.ReadProject(projectFile))
        return ExitFailed;

    tables::TableSet set;
    tables::TableCompiler compiler(set, session.project(), session.strings());
    const tables::BuildResult built = compiler.BuildAllTables();
    session.prompter().tell(built.notices);
    if (!built.ok) {
        // A table that does not fit is no table set at all: nothing to show as if it were one.
        session.prompter().show(
            QStringLiteral("Table %1 does not fit the central unit's memory").arg(built.failedSlot),
            platform::ProgramTitle);
        return ExitFailed;
    }

    if (output.json) {
        QJsonArray slotList;
        for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
            const tables::CentralTable &table = set[slot];
            slotList.append(QJsonObject{
                {QStringLiteral("slot"), slot},
                {QStringLiteral("length"), table.Length},
                {QStringLiteral("hex"), QString::fromLatin1(SentBytes(table).toHex())}});
        }
        WriteJson(out, QJsonObject{{QStringLiteral("bytesTotal"), set.BytesTotal},
                                   {QStringLiteral("slots"), slotList}});
        return ExitOk;
    }

    out << "Table set of " << projectFile << ": " << set.BytesTotal << " bytes\n";
    for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
        const QByteArray bytes = SentBytes(set[slot]);
        out << "\nslot " << slot << ": " << bytes.size() << " bytes\n";
        for (qsizetype row = 0; row < bytes.size(); row += BytesPerRow)
            out << QStringLiteral("%1 ").arg(row, 5, 10, QLatin1Char('0'))
                << QString::fromLatin1(bytes.mid(row, BytesPerRow).toHex(' ')) << '\n';
    }
    return ExitOk;
}

} // namespace quintara::cli
