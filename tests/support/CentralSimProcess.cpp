#include "tests/support/CentralSimProcess.h"

namespace quintara::testing {
namespace {
constexpr int PatienceMs = 10000;
}

CentralSimProcess::CentralSimProcess(const QString &program, const QStringList &arguments)
{
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (m_process.waitForStarted(PatienceMs))
        device = readLine();
}

CentralSimProcess::~CentralSimProcess()
{
    m_process.closeWriteChannel(); // end of input ends it
    if (!m_process.waitForFinished(PatienceMs))
        m_process.kill();
}

QString CentralSimProcess::command(const QByteArray &line)
{
    m_process.write(line + '\n');
    return readLine();
}

QString CentralSimProcess::readLine()
{
    while (!m_process.canReadLine() && m_process.waitForReadyRead(PatienceMs)) {
    }
    return QString::fromLocal8Bit(m_process.readLine()).trimmed();
}

} // namespace quintara::testing
