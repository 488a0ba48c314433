// Splits arbitrary bytes at zero bytes into the arguments of quintara-cli and parses them: every
// command line ends in an invocation that holds together, or in a text and its exit status.
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tools/cli/CommandLine.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    QStringList arguments{QStringLiteral("quintara-cli")};
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QByteArray &argument : bytes.split('\0'))
        arguments.append(QString::fromUtf8(argument));

    const cli::ParsedCommandLine parsed = cli::ParseCommandLine(arguments);
    if (!parsed.invocation) {
        // Help, a mistake, or an output file that can't be written (found before any work).
        if (parsed.text.isEmpty() ||
            (parsed.exitStatus != cli::ExitOk && parsed.exitStatus != cli::ExitUsage &&
             parsed.exitStatus != cli::ExitFailed))
            std::abort();
        return 0;
    }
    const cli::Invocation &run = *parsed.invocation;
    // An empty file name gets through to the command, which fails to read or write it.
    if (parsed.exitStatus != cli::ExitOk || run.language < 0 ||
        run.language >= settings::LanguageCount)
        std::abort();
    if (run.model && (*run.model < 0 || *run.model >= project::ModelCount))
        std::abort();
    const bool transfer = run.command == cli::Command::Send || run.command == cli::Command::Receive;
    if (transfer && (run.transfer.port.isEmpty() || (run.transfer.modem &&
                                                     run.transfer.initString.isNull())))
        std::abort();
    if (run.command == cli::Command::Holidays && run.holidays.toYear < run.holidays.fromYear)
        std::abort();
    return 0;
}
