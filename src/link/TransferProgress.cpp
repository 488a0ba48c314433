#include "link/TransferProgress.h"

#include "settings/Strings.h"

#include <algorithm>
#include <cmath>

namespace quintara::link {

namespace {
constexpr int ProgressId = 674;
constexpr int AttemptId = 675; // "attempt %1 of %2"
constexpr int ConnectingId = 2432;
constexpr int SendingBlockId = 2433;   // "sending block %1 of %2"
constexpr int ReceivingTableId = 2434; // "receiving table %1 of %2"
constexpr int DoneId = 2435;
constexpr int CancelledUnchangedId = 2436;
constexpr int CancelledMayHoldId = 2437;
} // namespace

int Percent(double value)
{
    return static_cast<int>(std::lround(value));
}

void TransferProgress::show(int percent)
{
    // A progress base smaller than what is sent must not push the bar past its end.
    percent = std::clamp(percent, 0, 100);
    if (!m_observer.progress)
        return;
    QString label = QStringLiteral("%1: %2%").arg(m_strings.GetResString(ProgressId)).arg(percent);
    if (const QString now = step(); !now.isEmpty())
        label += QStringLiteral(" – ") + now;
    if (m_connecting && m_attempt > 0)
        label += QStringLiteral(" (%1)").arg(
            m_strings.GetResString(AttemptId).arg(m_attempt).arg(m_attempts));
    m_observer.progress(percent, label);
}

QString TransferProgress::step() const
{
    if (m_connecting)
        return m_strings.GetResString(ConnectingId);
    if (m_done)
        return m_strings.GetResString(DoneId);
    if (m_sending && m_blocks > 0)
        return m_strings.GetResString(SendingBlockId)
            .arg(std::min(m_blocksSent + 1, m_blocks))
            .arg(m_blocks);
    if (!m_sending && m_tables > 0)
        return m_strings.GetResString(ReceivingTableId).arg(m_table).arg(m_tables);
    return {};
}

void TransferProgress::startJob(bool sending, int blocks)
{
    m_sending = sending;
    m_blocks = blocks;
    m_blocksSent = 0;
    m_table = 0;
    m_tables = 0;
    m_done = false;
}

void TransferProgress::startTable(int table, int of)
{
    m_table = table;
    m_tables = of;
}

void TransferProgress::cancelled(bool unitMayHoldNew)
{
    if (m_observer.progress)
        m_observer.progress(0, m_strings.GetResString(unitMayHoldNew ? CancelledMayHoldId
                                                                     : CancelledUnchangedId));
}

void TransferProgress::showText(int id)
{
    if (m_observer.progress)
        m_observer.progress(0, m_strings.GetResString(ProgressId) + QStringLiteral(": ") +
                                   m_strings.GetResString(id));
}

void TransferProgress::setAttempt(int attempt, int of)
{
    m_attempt = attempt;
    m_attempts = of;
}

} // namespace quintara::link
