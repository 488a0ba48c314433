#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "clock/ClockTable.h"
#include "clock/TableDiff.h"
#include "platform/Clock.h"

#include <QJsonArray>

namespace quintara::cli {

namespace {

using Kind = clock::LineDifference::Kind;

QString KindName(Kind kind)
{
    switch (kind) {
    case Kind::OnlyInA:
        return QStringLiteral("onlyInA");
    case Kind::OnlyInB:
        return QStringLiteral("onlyInB");
    case Kind::Changed:
        break;
    }
    return QStringLiteral("changed");
}

QJsonObject DifferenceJson(const Session &session, const clock::LineDifference &difference,
                           const clock::ClockLine &a, const clock::ClockLine &b)
{
    QJsonObject object{{QStringLiteral("line"), difference.line},
                       {QStringLiteral("kind"), KindName(difference.kind)}};
    if (difference.kind == Kind::Changed) {
        QJsonArray fields;
        for (const clock::FieldDifference &field : difference.fields)
            fields.append(QJsonObject{{QStringLiteral("field"), clock::LineFieldName(field.field)},
                                      {QStringLiteral("a"), field.a},
                                      {QStringLiteral("b"), field.b}});
        object.insert(QStringLiteral("fields"), fields);
    }
    if (a.inUse())
        object.insert(QStringLiteral("a"), LineJson(session, difference.line, a));
    if (b.inUse())
        object.insert(QStringLiteral("b"), LineJson(session, difference.line, b));
    return object;
}

// "hour 9 -> 10", with the level in words as well when a project names them.
QString FieldText(const Session &session, const clock::FieldDifference &field,
                  const clock::ClockLine &a, const clock::ClockLine &b)
{
    QString text = QStringLiteral("%1 %2 -> %3")
                       .arg(clock::LineFieldName(field.field))
                       .arg(field.a)
                       .arg(field.b);
    if (field.field == clock::LineField::Level && session.hasProject())
        text += QStringLiteral(" (%1 -> %2)").arg(session.levelText(a), session.levelText(b));
    return text;
}

} // namespace

int RunDiff(Session &session, const QString &fileA, const QString &fileB, bool ignoreDates,
            const platform::Clock &clock, const OutputOptions &output, QTextStream &out)
{
    if (!session.ReadClock(fileA))
        return ExitFailed;
    const clock::ClockTable a = session.clockTable();
    if (!session.ReadClock(fileB))
        return ExitFailed;
    const clock::ClockTable &b = session.clockTable();
    clock::DiffOptions options;
    if (ignoreDates)
        options.ignoreDatesIn = clock::YearWindow::around(clock.now());
    const clock::TableDiff diff = clock::DiffTables(a, b, options);
    const auto lineOf = [](const clock::ClockTable &table, int index) -> const clock::ClockLine & {
        return table.Lines[static_cast<std::size_t>(index)];
    };

    if (output.json) {
        QJsonArray differences;
        for (const clock::LineDifference &difference : diff.lines)
            differences.append(DifferenceJson(session, difference, lineOf(a, difference.line),
                                              lineOf(b, difference.line)));
        QJsonObject object{{QStringLiteral("equal"), diff.equal()},
                           {QStringLiteral("a"), fileA},
                           {QStringLiteral("b"), fileB},
                           {QStringLiteral("differences"), differences}};
        if (diff.models)
            object.insert(QStringLiteral("models"),
                          QJsonObject{{QStringLiteral("a"), diff.models->first},
                                      {QStringLiteral("b"), diff.models->second}});
        WriteJson(out, object);
        return diff.equal() ? ExitOk : ExitDifferent;
    }

    if (diff.equal()) {
        out << fileA << " and " << fileB << " hold the same clock table\n";
        return ExitOk;
    }
    out << fileA << " and " << fileB << ": " << diff.lines.size()
        << (diff.lines.size() == 1 ? " line differs\n" : " lines differ\n");
    if (diff.models)
        out << "model " << diff.models->first << " -> " << diff.models->second << '\n';
    for (const clock::LineDifference &difference : diff.lines) {
        const clock::ClockLine &la = lineOf(a, difference.line);
        const clock::ClockLine &lb = lineOf(b, difference.line);
        out << "line " << difference.line << ": ";
        if (difference.kind == Kind::Changed) {
            QStringList fields;
            for (const clock::FieldDifference &field : difference.fields)
                fields << FieldText(session, field, la, lb);
            out << fields.join(QStringLiteral(", "));
        } else {
            out << "only in " << (difference.kind == Kind::OnlyInA ? fileA : fileB);
        }
        if (session.hasProject())
            out << "  " << session.functionText(la.inUse() ? la : lb);
        out << '\n';
    }
    return ExitDifferent;
}

} // namespace quintara::cli
