#include "link/TrafficTrace.h"

#include "platform/Files.h"
#include "settings/Strings.h"

namespace quintara::link {

namespace {

constexpr int BytesPerLine = 16;

QString Printable(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        const auto byte = static_cast<quint8>(c);
        text += byte >= 32 && byte < 127 ? QChar(byte) : QChar(u'.');
    }
    return text;
}

} // namespace

void TrafficTrace::begin(qint64 nowMs)
{
    m_start = nowMs;
    m_step.clear();
    m_runs.clear();
}

void TrafficTrace::record(qint64 nowMs, Direction direction, quint8 byte)
{
    const qint64 ms = nowMs - m_start;
    if (m_runs.isEmpty() || m_runs.last().ms != ms || m_runs.last().direction != direction ||
        m_runs.last().step != m_step || m_runs.last().bytes.size() >= BytesPerLine)
        m_runs.append({ms, direction, m_step, {}});
    m_runs.last().bytes.append(static_cast<char>(byte));
}

int TrafficTrace::byteCount() const
{
    int count = 0;
    for (const Run &run : m_runs)
        count += static_cast<int>(run.bytes.size());
    return count;
}

QString TrafficTrace::text() const
{
    QString text = QStringLiteral(
        "# Quintara serial line trace\n"
        "# ms: milliseconds since the transfer began; PC> the computer sent, <CU the central unit "
        "sent\n"
        "#     ms  dir  step         bytes (hexadecimal)                              as text\n");
    for (const Run &run : m_runs) {
        const QString hex = QString::fromLatin1(run.bytes.toHex(' ').toUpper());
        text += QStringLiteral("%1  %2  %3 %4 %5\n")
                    .arg(run.ms, 8)
                    .arg(run.direction == Direction::Sent ? QStringLiteral("PC>")
                                                          : QStringLiteral("<CU"))
                    .arg(run.step, -12)
                    .arg(hex, -47)
                    .arg(Printable(run.bytes));
    }
    return text;
}

bool TrafficTrace::save(const QString &path, const settings::Strings &strings, QString *error) const
{
    // All or nothing, as every file the program writes; a device or FIFO is never written.
    std::optional<QString> reason;
    if (platform::KindOfPath(path) == platform::PathKind::Other)
        reason = strings.GetResString(settings::TextId::File::NotARegularFile);
    else if (const auto failure = platform::WriteWholeFile(path, text().toUtf8()))
        reason = settings::WriteFailureText(strings, *failure);
    if (reason && error)
        *error = platform::FileFailure(path, *reason);
    return !reason;
}

} // namespace quintara::link
