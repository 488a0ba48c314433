#pragma once

#include "clock/ClockTable.h"
#include "settings/Strings.h"
#include "tests/clock/TestLines.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quintara::testing {

using clock::testing::Line;

// A table of clock file version 1 holding these lines.
inline clock::ClockTable Table(const QList<std::pair<int, clock::ClockLine>> &lines, int model = 0)
{
    clock::ClockTable table;
    table.ClockFileVersion = 1;
    table.ModelIndex = model;
    for (const auto &[index, line] : lines)
        table.Lines[std::size_t(index)] = line;
    return table;
}

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    // The standard output as one JSON object; an empty object (and a test failure) otherwise.
    QJsonObject json() const;
};

// Runs the built programs on fixtures written into a temporary folder.
class CliTest : public ::testing::Test {
protected:
    // Runs with a settings folder of its own, so that the user's settings never count; with
    // `standardOutput`, what the program prints goes into that file (a redirection).
    CliRun runProgram(const QString &program, const QStringList &arguments,
                      const QString &standardOutput = {}) const;
    CliRun run(const QStringList &arguments) const { return runProgram(QUINTARA_CLI, arguments); }
    // Runs and expects it to fail with this status, nothing on the standard output and these
    // pieces in the error output.
    CliRun expectFailure(const QStringList &arguments, int status,
                         const QList<QByteArray> &pieces) const;

    // Writes a file into the temporary folder and returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    static QByteArray contents(const QString &path);
    QString writeClockFile(const QString &name, const clock::ClockTable &table) const;

    static QString demoProject() { return QStringLiteral(QUINTARA_DEMO_PROJECT); }
    static QString demoClockFile() { return QStringLiteral(QUINTARA_DEMO_CLOCK_FILE); }

    // Variables of the environment the programs run without (a display, say), and with.
    QStringList unsetVariables;
    QMap<QString, QString> setVariables;
    settings::Strings strings{settings::StringTable::builtIn()};

private:
    QTemporaryDir m_dir;
};

} // namespace quintara::testing
