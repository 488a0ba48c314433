#include "tools/demo-project/DemoProject.h"

#include "tests/support/ProjectFileWriter.h"

#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: demo-project <output.nbt>\n";
        return 2;
    }
    const auto model = quintara::tools::BuildDemoProject();
    const QByteArray bytes = quintara::testing::WriteProjectFile(*model, 60);
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        err << "demo-project: " << file.fileName() << ": " << file.errorString() << '\n';
        return 1;
    }
    QTextStream(stdout) << "wrote " << bytes.size() << " bytes to " << file.fileName() << '\n';
    return 0;
}
