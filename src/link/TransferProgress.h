#pragma once

#include <QString>

#include <functional>

namespace quintara::settings {
class Strings;
}

namespace quintara::link {

// What the dialog hears while a transfer runs. Any may be left empty.
struct TransferObserver {
    // The progress bar's value 0..100 and the progress label's text ("Progress: 42%").
    std::function<void(int percent, const QString &label)> progress;
    // The send button's new caption: "Retry" after a send has failed for good.
    std::function<void(const QString &caption)> sendCaption;
    // The connection stands: the user hears it.
    std::function<void()> beep;
};

// The progress bar and label of a transfer: "Progress: 42%", while a connection is tried again
// "Progress: 2% (attempt 2 of 4)".
class TransferProgress {
public:
    TransferProgress(const settings::Strings &strings, const TransferObserver &observer)
        : m_strings(strings), m_observer(observer)
    {
    }

    void show(int percent);
    // The label "Progress: " followed by the text of id.
    void showText(int id);
    // The attempt running (0 outside one) and of how many; shown while connecting.
    void setAttempt(int attempt, int of);
    void setConnecting(bool connecting) { m_connecting = connecting; }

    // The step the label names after the percentage: "sending block 12 of 88", "receiving
    // table 2 of 5", "done". A new job starts with none.
    void startJob(bool sending, int blocks);
    void startTable(int table, int of);
    void blockSent() { ++m_blocksSent; }
    void done() { m_done = true; }
    // The label after a Cancel: what the unit holds now.
    void cancelled(bool unitMayHoldNew);

private:
    QString step() const;

    const settings::Strings &m_strings;
    const TransferObserver &m_observer;
    int m_attempt = 0;
    int m_attempts = 0;
    bool m_connecting = false;
    bool m_sending = false;
    bool m_done = false;
    int m_blocks = 0;
    int m_blocksSent = 0;
    int m_table = 0;
    int m_tables = 0;
};

int Percent(double value);

} // namespace quintara::link
