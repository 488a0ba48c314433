#include "tests/tools/CliFixture.h"

#include "clock/ClockFile.h"

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
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << qPrintable(program) << " did not finish: "
                      << qPrintable(arguments.join(u' '));
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

CliRun CliTest::expectFailure(const QStringList &arguments, int status,
                              const QList<QByteArray> &pieces) const
{
    const CliRun result = run(arguments);
    EXPECT_EQ(result.exitCode, status) << qPrintable(arguments.join(u' '));
    EXPECT_TRUE(result.out.isEmpty());
    for (const QByteArray &piece : pieces)
        EXPECT_TRUE(result.err.contains(piece)) << piece.data() << '\n' << result.err.data();
    return result;
}

QString CliTest::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

QByteArray CliTest::contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QString CliTest::writeClockFile(const QString &name, const clock::ClockTable &table) const
{
    return writeFile(name, clock::ClockFileImage(table));
}

} // namespace quintara::testing
