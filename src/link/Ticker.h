#pragma once

#include <QObject>
#include <QTimer>

namespace quintara::link {

// A periodic timer. Production runs on QTimer; tests tick it on virtual time.
class Ticker : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Ticker() override = default;

    // Starts ticking every intervalMs; does nothing when already running at that interval.
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void tick();
};

class QtTicker final : public Ticker {
    Q_OBJECT
public:
    explicit QtTicker(QObject *parent = nullptr) : Ticker(parent)
    {
        connect(&m_timer, &QTimer::timeout, this, &Ticker::tick);
    }
    void start(int intervalMs) override
    {
        if (m_timer.isActive() && m_timer.interval() == intervalMs)
            return;
        m_timer.start(intervalMs);
    }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace quintara::link
