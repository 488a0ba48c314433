#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "platform/Clock.h"
#include "presentation/Csv.h"

#include <QTextStream>

#include <array>
#include <cstdio>
#include <memory>

namespace quintara::cli {

namespace {

// The texts of a line, made once: a year of an every-minute line repeats them half a million
// times.
struct LineTexts {
    QString function;
    QString level;
    QString functionJson;
    QString levelJson;
};

QString TimeText(const clock::Moment &moment)
{
    return QStringLiteral("%1:%2")
        .arg(moment.hour(), 2, 10, QLatin1Char('0'))
        .arg(moment.minute(), 2, 10, QLatin1Char('0'));
}

// Writes firings in one of the three forms as they come.
class AgendaWriter {
public:
    AgendaWriter(const Session &session, const AgendaOptions &agenda, const OutputOptions &output,
                 QTextStream &out)
        : m_session(session), m_agenda(agenda), m_output(output), m_out(out)
    {
    }

    void begin(bool truncated)
    {
        const QString from = m_agenda.from.toString(Qt::ISODate);
        const QString to = m_agenda.to.toString(Qt::ISODate);
        if (m_output.json) {
            m_out << "{\"from\":\"" << from << "\",\"to\":\"" << to
                  << "\",\"truncated\":" << (truncated ? "true" : "false") << ",\"firings\":[";
        } else if (m_output.csv) {
            QStringList header{QStringLiteral("date"),         QStringLiteral("time"),
                               QStringLiteral("line"),         QStringLiteral("table"),
                               QStringLiteral("functionType"), QStringLiteral("functionNumber"),
                               QStringLiteral("level")};
            if (m_session.hasProject())
                header << QStringLiteral("function") << QStringLiteral("levelText");
            m_out << ui::CsvByteOrderMark << ui::CsvRecord(header);
        } else {
            m_out << "Firings from " << from << " 00:00 through " << to << " 23:59\n";
        }
    }

    void write(const clock::Firing &firing, const clock::ClockLine &line)
    {
        const QString date = firing.moment.date().toString(Qt::ISODate);
        const QString time = TimeText(firing.moment);
        const LineTexts *texts = textsOf(firing.line, line);
        if (m_output.json) {
            m_out << (m_count > 0 ? ",{" : "{") << "\"date\":\"" << date << "\",\"time\":\"" << time
                  << "\",\"line\":" << firing.line << ",\"table\":" << line.Table
                  << ",\"functionType\":" << line.FunctionType
                  << ",\"functionNumber\":" << line.FunctionNumber << ",\"level\":" << line.Level;
            if (texts)
                m_out << ",\"function\":" << texts->functionJson
                      << ",\"levelText\":" << texts->levelJson;
            m_out << '}';
        } else if (m_output.csv) {
            QStringList fields{date,
                               time,
                               QString::number(firing.line),
                               QString::number(line.Table),
                               QString::number(line.FunctionType),
                               QString::number(line.FunctionNumber),
                               QString::number(line.Level)};
            if (texts)
                fields << texts->function << texts->level;
            m_out << ui::CsvRecord(fields);
        } else {
            m_out << date << ' ' << time << "  line "
                  << QString::number(firing.line).rightJustified(2) << "  table " << line.Table
                  << "  function " << line.FunctionType << ':' << line.FunctionNumber << "  level "
                  << line.Level;
            if (texts)
                m_out << "  " << texts->function << "  " << texts->level;
            m_out << '\n';
        }
        // The first line is on its way at once, the rest in the stream's buffer-fulls.
        if (m_count++ == 0)
            m_out.flush();
    }

    // A reader of the text form sees where it was cut; the CSV form stays rows of firings
    // only, its reader has the exit status.
    void end(bool truncated)
    {
        if (m_output.json)
            m_out << "]}\n";
        else if (truncated && !m_output.csv)
            m_out << "The agenda stops here, after " << clock::MaxAgendaFirings
                  << " firings: there are more in the range.\n";
        m_out.flush();
    }

private:
    const LineTexts *textsOf(int index, const clock::ClockLine &line)
    {
        if (!m_session.hasProject())
            return nullptr;
        std::optional<LineTexts> &texts = m_texts[static_cast<std::size_t>(index)];
        if (!texts) {
            const QString function = m_session.functionText(line);
            const QString level = m_session.levelText(line);
            texts = LineTexts{function, level, JsonString(function), JsonString(level)};
        }
        return &*texts;
    }

    const Session &m_session;
    const AgendaOptions &m_agenda;
    const OutputOptions &m_output;
    QTextStream &m_out;
    std::array<std::optional<LineTexts>, clock::ClockLineCount> m_texts;
    qint64 m_count = 0;
};

} // namespace

int RunAgenda(Session &session, const QString &clockFile, const AgendaOptions &agenda,
              const platform::Clock &clock, const OutputOptions &output, QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;
    const clock::ClockTable &table = session.clockTable();
    const QDateTime now = clock.now(); // one now for both runs
    const auto firingsOfRange = [&] {
        return std::make_unique<clock::TableFirings>(
            table, now, session.workdays(), clock::Moment::fromDate(agenda.from),
            clock::Moment::fromDate(agenda.to, 23, 59),
            clock::FiringFilter{agenda.table, agenda.function});
    };

    // The JSON form says whether it was cut short before the list: a dry run up to the cap
    // costs a few milliseconds.
    bool truncated = false;
    if (output.json) {
        const auto dryRun = firingsOfRange();
        while (dryRun->next()) {
        }
        truncated = dryRun->truncated();
    }

    const auto firings = firingsOfRange();
    AgendaWriter writer(session, agenda, output, out);
    writer.begin(truncated);
    // Once standard output fails nothing more can reach it; main reports the failure.
    while (out.status() == QTextStream::Ok) {
        const std::optional<clock::Firing> firing = firings->next();
        if (!firing)
            break;
        writer.write(*firing, table.Lines[static_cast<std::size_t>(firing->line)]);
    }
    writer.end(firings->truncated());
    if (!firings->truncated())
        return ExitOk;
    std::fprintf(stderr,
                 "quintara-cli: the agenda stops after %d firings; choose a shorter range or "
                 "filter by --table or --function\n",
                 clock::MaxAgendaFirings);
    return ExitTruncated;
}

} // namespace quintara::cli
