#include "tools/cli/StderrPrompter.h"

#include <cstdio>

namespace quintara::cli {

platform::Answer StderrPrompter::ask(const platform::Message &message)
{
    write(message.text);
    return platform::DefaultAnswer(message);
}

void StderrPrompter::write(QString text)
{
    ++m_count;
    // Box texts break lines with CR LF or LF CR; a terminal wants plain line feeds.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    text.remove(QLatin1Char('\r'));
    if (!m_subject.isEmpty())
        text.prepend(m_subject + QLatin1String(": "));
    std::fputs(text.toUtf8().append('\n').constData(), stderr);
    std::fflush(stderr);
}

} // namespace quintara::cli
