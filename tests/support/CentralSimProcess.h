#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quintara::testing {

// The central-unit simulator executable as a child process on a pseudo-terminal. Its first
// output line names the device; each console command is answered with one line.
class CentralSimProcess {
public:
    CentralSimProcess(const QString &program, const QStringList &arguments = {});
    ~CentralSimProcess();

    // One console command and its reply.
    QString command(const QByteArray &line);

    // Empty when the simulator did not start.
    QString device;

private:
    QString readLine();

    QProcess m_process;
};

} // namespace quintara::testing
