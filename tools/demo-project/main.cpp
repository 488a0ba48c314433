#include "tools/demo-project/DemoProject.h"

#include "clock/ClockFile.h"
#include "platform/Files.h"
#include "project/ProjectFileWriter.h"

#include <QTextStream>

namespace {

bool Write(const QString &path, const QByteArray &bytes)
{
    if (const auto failure = quintara::platform::WriteWholeFile(path, bytes)) {
        QTextStream(stderr) << "demo-project: " << path << ": "
                            << (failure->reason.isEmpty() ? QStringLiteral("not written")
                                                          : failure->reason)
                            << '\n';
        return false;
    }
    QTextStream(stdout) << "wrote " << bytes.size() << " bytes to " << path << '\n';
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        QTextStream(stderr) << "usage: demo-project <output.nbt> <output.clk>\n";
        return 2;
    }
    using namespace quintara;
    const auto model = tools::BuildDemoProject();
    const bool written =
        Write(QString::fromLocal8Bit(argv[1]), project::WriteProjectFile(*model, 60)) &&
        Write(QString::fromLocal8Bit(argv[2]), clock::ClockFileImage(tools::BuildDemoClockTable()));
    return written ? 0 : 1;
}
