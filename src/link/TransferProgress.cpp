#include "link/TransferProgress.h"

#include "settings/Strings.h"

#include <algorithm>
#include <cmath>

namespace quintara::link {

namespace {
constexpr int ProgressId = 674;
constexpr int AttemptId = 675; // "attempt %1 of %2"
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
    if (m_connecting && m_attempt > 0)
        label += QStringLiteral(" (%1)").arg(
            m_strings.GetResString(AttemptId).arg(m_attempt).arg(m_attempts));
    m_observer.progress(percent, label);
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
