#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "clock/ClockTable.h"
#include "presentation/Csv.h"

#include <QJsonArray>

namespace quintara::cli {

namespace {

QString Field(int value, int width)
{
    return QString::number(value).rightJustified(width);
}

} // namespace

QJsonObject LineJson(const Session &session, int index, const clock::ClockLine &line)
{
    QJsonObject object{
        {QStringLiteral("index"), index},
        {QStringLiteral("minute"), line.Minute},
        {QStringLiteral("hour"), line.Hour},
        {QStringLiteral("day"), line.Day},
        {QStringLiteral("month"), line.Month},
        {QStringLiteral("year"), line.Year},
        {QStringLiteral("table"), line.Table},
        {QStringLiteral("repeatUnit"), line.RepeatUnit},
        {QStringLiteral("repeatCount"), line.RepeatCount},
        {QStringLiteral("functionType"), line.FunctionType},
        {QStringLiteral("functionNumber"), line.FunctionNumber},
        {QStringLiteral("level"), line.Level},
        {QStringLiteral("nextLine"), line.NextLine},
        {QStringLiteral("firstLine"), line.FirstLine},
    };
    if (session.hasProject()) {
        object.insert(QStringLiteral("function"), session.functionText(line));
        object.insert(QStringLiteral("levelText"), session.levelText(line));
    }
    return object;
}

int RunShow(Session &session, const QString &clockFile, const OutputOptions &output,
            QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;
    const clock::ClockTable &table = session.clockTable();

    if (output.csv) {
        ui::LineWords words;
        if (session.hasProject())
            words = [&session](const clock::ClockLine &line) {
                return std::pair{session.functionText(line), session.levelText(line)};
            };
        out << ui::ClockLinesCsv(table, words);
        return ExitOk;
    }
    if (output.json) {
        QJsonArray lines;
        for (int i = 0; i < clock::ClockLineCount; ++i) {
            const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
            if (line.inUse())
                lines.append(LineJson(session, i, line));
        }
        WriteJson(out, QJsonObject{{QStringLiteral("version"), table.ClockFileVersion},
                                   {QStringLiteral("model"), table.ModelIndex},
                                   {QStringLiteral("lines"), lines}});
        return ExitOk;
    }

    out << "Clock file " << clockFile << ": version " << table.ClockFileVersion << ", model "
        << table.ModelIndex << " (" << table.MaxClockLines << " usable lines)\n";
    out << "line  min hour  day month year  table unit count  type number level  next first\n";
    bool beyondModel = false;
    for (int i = 0; i < clock::ClockLineCount; ++i) {
        const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!line.inUse())
            continue;
        const bool usable = i < table.usableLines();
        beyondModel = beyondModel || !usable;
        out << Field(i, 4) << (usable ? ' ' : '*') << Field(line.Minute, 4) << Field(line.Hour, 5)
            << Field(line.Day, 5) << Field(line.Month, 6) << Field(line.Year, 5)
            << Field(line.Table, 7) << Field(line.RepeatUnit, 5) << Field(line.RepeatCount, 6)
            << Field(line.FunctionType, 6) << Field(line.FunctionNumber, 7) << Field(line.Level, 6)
            << Field(line.NextLine, 6) << Field(line.FirstLine, 6);
        if (session.hasProject())
            out << "  " << session.functionText(line) << "  " << session.levelText(line);
        out << '\n';
    }
    if (beyondModel)
        out << "* beyond the model's usable lines: kept in the file, not used by the central "
               "unit\n";
    return ExitOk;
}

} // namespace quintara::cli
