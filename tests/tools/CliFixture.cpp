#include "tests/tools/CliFixture.h"

#include "clock/ClockFile.h"
#include "project/ProjectFileWriter.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

namespace quintara::testing {

QJsonObject CliRun::json() const
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << qPrintable(error.errorString());
    EXPECT_TRUE(document.isObject());
    return document.object();
}

CliTest::CliTest()
{
    EXPECT_TRUE(m_dir.isValid());
    prompter.answerAllWithDefault();
}

CliRun CliTest::run(const QStringList &arguments) const
{
    return runProgram(QStringLiteral(QUINTARA_CLI), arguments);
}

CliRun CliTest::runProgram(const QString &program, const QStringList &arguments,
                           const QString &standardOutput) const
{
    QProcess process;
    if (!standardOutput.isEmpty())
        process.setStandardOutputFile(standardOutput);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    for (const QString &name : unsetVariables)
        environment.remove(name);
    for (auto it = setVariables.cbegin(); it != setVariables.cend(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    CliRun result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << qPrintable(program) << " did not finish: "
                      << qPrintable(arguments.join(u' '));
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString CliTest::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QString CliTest::writeClockFile(const QString &name, const clock::ClockTable &table) const
{
    return writeFile(name, clock::ClockFileImage(table));
}

QString CliTest::writeProject(const QString &name, const project::ProjectModel &model) const
{
    return writeFile(name, WriteProjectFile(model, 60));
}

std::unique_ptr<project::ProjectModel> CliTest::emptyProject(int modelIndex)
{
    auto model = std::make_unique<project::ProjectModel>();
    project::NewProject(*model, 19200, 0);
    project::SelectModel(*model, modelIndex, strings);
    return model;
}

QString CliTest::demoProject()
{
    return QStringLiteral(QUINTARA_DEMO_PROJECT);
}

QString CliTest::demoClockFile()
{
    return QStringLiteral(QUINTARA_DEMO_CLOCK_FILE);
}

clock::ClockLine Line(QDate date, int hour, int minute, int table, int repeatUnit, int repeatCount,
                      int functionType, int functionNumber, int level)
{
    clock::ClockLine line;
    line.Minute = static_cast<quint8>(minute);
    line.Hour = static_cast<quint8>(hour);
    clock::SetReferenceDate(line, date);
    line.Table = static_cast<quint8>(table);
    line.RepeatUnit = static_cast<quint8>(repeatUnit);
    line.RepeatCount = static_cast<quint8>(repeatCount);
    line.FunctionType = static_cast<quint8>(functionType);
    line.FunctionNumber = static_cast<quint8>(functionNumber);
    line.Level = static_cast<quint8>(level);
    return line;
}

} // namespace quintara::testing
