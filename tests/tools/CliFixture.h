#pragma once

#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tests/support/ScriptedPrompter.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace quintara::testing {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    // The standard output as one JSON object; an empty object (and a test failure) otherwise.
    QJsonObject json() const;
};

// Runs the built quintara-cli on fixtures written into a temporary folder.
class CliTest : public ::testing::Test {
protected:
    CliTest();

    // Runs with a settings folder of its own, so that the user's settings never count.
    CliRun run(const QStringList &arguments) const;
    // The same for another of the built programs; with `standardOutput`, what it prints goes
    // into that file (a redirection) instead of CliRun::out.
    CliRun runProgram(const QString &program, const QStringList &arguments,
                      const QString &standardOutput = {}) const;

    // Writes a file into the temporary folder and returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    QString writeClockFile(const QString &name, const clock::ClockTable &table) const;
    QString writeProject(const QString &name, const project::ProjectModel &model) const;

    // An empty project of a central-unit model, English texts.
    std::unique_ptr<project::ProjectModel> emptyProject(int modelIndex);

    static QString demoProject();
    static QString demoClockFile();

    // Variables of the environment the programs run without (a display, say), and with.
    QStringList unsetVariables;
    QMap<QString, QString> setVariables;

    ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn()};

private:
    QTemporaryDir m_dir;
};

// A line in use on a date and time, with its table kind and repetition.
clock::ClockLine Line(QDate date, int hour, int minute, int table, int repeatUnit, int repeatCount,
                      int functionType = 1, int functionNumber = 1, int level = 255);

} // namespace quintara::testing
