// central-sim: a QBN central unit on a pseudo-terminal or a TCP port, for tests and demos.
// Prints the device to open as its first line, then serves the unit's protocol on it and
// reads console commands (see SimCommand.h) from standard input until "quit" or end of input.
#include "QuintaraVersion.h"
#include "platform/Outcome.h"
#include "tools/central-sim/CentralUnit.h"
#include "tools/central-sim/NetworkServer.h"
#include "tools/central-sim/ProjectMemory.h"
#include "tools/central-sim/SimCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using quintara::sim::CentralUnit;

void PrintLine(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// The unit's side of a raw pseudo-terminal, pumping bytes between it and the engine.
class PtyServer final : public quintara::sim::UnitServer {
public:
    PtyServer(CentralUnit &unit, int master, int slave)
        : m_unit(unit), m_master(master), m_slave(slave), m_readable(master, QSocketNotifier::Read),
          m_writable(master, QSocketNotifier::Write)
    {
        m_clock.start();
        m_writable.setEnabled(false);
        connect(&m_readable, &QSocketNotifier::activated, this, [this] { readLine(); });
        connect(&m_writable, &QSocketNotifier::activated, this, [this] { flush(); });
        // Drops half frames on time even while the line is quiet, and answers the last block
        // of a table once the line has settled.
        connect(&m_ticker, &QTimer::timeout, this, [this] {
            m_unit.advanceTo(m_clock.elapsed());
            flush();
        });
        m_ticker.start(static_cast<int>(quintara::sim::TransferSide::SettleMs));
    }
    ~PtyServer() override
    {
        ::close(m_slave);
        ::close(m_master);
    }

    void flush() override
    {
        m_pending.append(m_unit.takeOutput());
        while (!m_pending.isEmpty()) {
            const ssize_t n = ::write(m_master, m_pending.constData(), m_pending.size());
            if (n > 0) {
                m_pending.remove(0, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            break; // full: wait until the far end reads
        }
        m_writable.setEnabled(!m_pending.isEmpty());
    }

private:
    void readLine()
    {
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            m_unit.receive(QByteArrayView(buffer, n), m_clock.elapsed());
        flush();
    }

    CentralUnit &m_unit;
    int m_master;
    // Held open so that the master never sees a hang-up between two clients.
    int m_slave;
    QSocketNotifier m_readable;
    QSocketNotifier m_writable;
    QTimer m_ticker;
    QElapsedTimer m_clock;
    QByteArray m_pending;
};

// What the project reader and compiler tell goes to standard error.
class ConsoleNotices final : public quintara::platform::NoticeSink {
public:
    using NoticeSink::tell;
    void tell(const quintara::platform::Notice &notice) override
    {
        std::fprintf(stderr, "central-sim: %s\n", qPrintable(notice.text));
    }
};

// A byte option: false (with a message) when given and not 0..255.
bool ByteOption(const QCommandLineParser &parser, const QCommandLineOption &option, quint8 &value)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const uint number = parser.value(option).toUInt(&ok, 0);
    if (!ok || number > 255) {
        std::fprintf(stderr, "central-sim: --%s wants a byte 0..255\n",
                     qPrintable(option.names().constFirst()));
        return false;
    }
    value = static_cast<quint8>(number);
    return true;
}

// Console commands, one a line; end of input ends the simulator.
class Console : public QObject {
public:
    Console(CentralUnit &unit, quintara::sim::UnitServer &server)
        : m_unit(unit), m_server(server), m_notifier(STDIN_FILENO, QSocketNotifier::Read)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] { read(); });
    }

private:
    void read()
    {
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0 && !(n < 0 && errno == EINTR)) {
            m_notifier.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        m_input.append(buffer, n > 0 ? n : 0);
        qsizetype end = 0;
        while ((end = m_input.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_input.left(end)).trimmed();
            m_input.remove(0, end + 1);
            if (line.isEmpty())
                continue;
            const auto result = quintara::sim::RunCommand(m_unit, line);
            PrintLine(result.ok ? result.reply : QStringLiteral("? ") + result.reply);
            m_server.flush();
            if (result.quit) {
                QCoreApplication::quit();
                return;
            }
        }
    }

    CentralUnit &m_unit;
    quintara::sim::UnitServer &m_server;
    QSocketNotifier m_notifier;
    QByteArray m_input;
};

// The simulator's command-line options.
struct SimOptions {
    const QCommandLineOption linkOption{QStringLiteral("link"),
                                        QStringLiteral("Also make <path> a symbolic link to the "
                                                       "device (replaced if it is one)."),
                                        QStringLiteral("path")};
    const QCommandLineOption checksumOption{
        QStringLiteral("corrupt-checksum"),
        QStringLiteral("Send every frame with a wrong checksum.")};
    const QCommandLineOption silenceOption{QStringLiteral("silence"),
                                           QStringLiteral("Answer nothing.")};
    const QCommandLineOption noiseOption{QStringLiteral("noise"),
                                         QStringLiteral("Send line noise between frames.")};
    const QCommandLineOption seedOption{QStringLiteral("seed"),
                                        QStringLiteral("Seed of the line noise."),
                                        QStringLiteral("n"), QStringLiteral("1")};
    const QCommandLineOption projectOption{
        QStringLiteral("project"),
        QStringLiteral("Load the memory tables from the project file <nbt>, as programmed by the "
                       "configuration tool (also sets the identification to its model)."),
        QStringLiteral("nbt")};
    const QCommandLineOption keyOption{QStringLiteral("key"),
                                       QStringLiteral("Handshake key (default 0xA5)."),
                                       QStringLiteral("byte")};
    const QCommandLineOption idOption{
        QStringLiteral("id"),
        QStringLiteral("Model identification answered (136, 17, 85 or 204; default 136)."),
        QStringLiteral("byte")};
    // --version is the program's own; the unit's version byte has a name of its own.
    const QCommandLineOption unitVersionOption{
        QStringLiteral("unit-version"), QStringLiteral("Version byte answered (default 33)."),
        QStringLiteral("byte")};
    const QCommandLineOption listenOption{
        QStringLiteral("listen"),
        QStringLiteral("Serve on a TCP port instead of a pseudo-terminal: tcp://HOST:PORT raw, "
                       "rfc2217://HOST:PORT with Telnet COM port control (port 0: any free "
                       "one). Loopback only unless --allow-remote."),
        QStringLiteral("address")};
    const QCommandLineOption remoteOption{
        QStringLiteral("allow-remote"),
        QStringLiteral("Let --listen take an address other computers can reach (the line is "
                       "not encrypted).")};
    const QCommandLineOption refuseComPortOption{
        QStringLiteral("refuse-com-port"),
        QStringLiteral("With rfc2217://, refuse COM port control as a plain Telnet server does.")};
    const QCommandLineOption modemOption{
        QStringLiteral("modem"),
        QStringLiteral("Sit behind a Hayes modem: no carrier until dialled.")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({linkOption, checksumOption, silenceOption, noiseOption, seedOption,
                           projectOption, keyOption, idOption, unitVersionOption, modemOption,
                           listenOption, remoteOption, refuseComPortOption});
    }

    // The faults and answers the options ask for; false (said on standard error) when one is
    // refused or the project does not load.
    bool configure(const QCommandLineParser &parser, CentralUnit &unit) const
    {
        unit.faults.corruptChecksum = parser.isSet(checksumOption);
        unit.faults.silence = parser.isSet(silenceOption);
        unit.faults.noise = parser.isSet(noiseOption);
        auto &config = unit.transfer().config();
        config.modem = parser.isSet(modemOption);
        if (parser.isSet(projectOption)) {
            ConsoleNotices notices;
            QString error;
            if (!quintara::sim::LoadProjectIntoMemory(unit.transfer(), parser.value(projectOption),
                                                      notices, &error)) {
                std::fprintf(stderr, "central-sim: %s\n", qPrintable(error));
                return false;
            }
        }
        return ByteOption(parser, keyOption, config.key) &&
               ByteOption(parser, idOption, config.identification) &&
               ByteOption(parser, unitVersionOption, config.version);
    }
};

struct Pty {
    int master = -1;
    int slave = -1;
    QString device;
};

// Raw from the start: a cooked pty would echo and translate the protocol's bytes.
std::optional<Pty> OpenRawPty()
{
    termios raw{};
    cfmakeraw(&raw);
    cfsetspeed(&raw, B19200);
    Pty pty;
    char name[256] = {};
    if (::openpty(&pty.master, &pty.slave, name, &raw, nullptr) != 0) {
        std::perror("central-sim: openpty");
        return std::nullopt;
    }
    ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    pty.device = QString::fromLocal8Bit(name);
    return pty;
}

// Makes `link` a symbolic link to the device (replacing one that is there).
bool LinkDevice(const QString &device, const QString &link)
{
    if (QFileInfo(link).isSymLink())
        QFile::remove(link);
    if (QFile::link(device, link))
        return true;
    std::fprintf(stderr, "central-sim: cannot create the link %s\n", qPrintable(link));
    return false;
}

// Serves the unit on the network until the console ends it.
int Listen(QCoreApplication &app, CentralUnit &unit, const QCommandLineParser &parser,
           const SimOptions &options)
{
    QString refusal;
    using quintara::link::NetworkAddress;
    const auto address = NetworkAddress::parse(parser.value(options.listenOption), &refusal,
                                               NetworkAddress::Use::Listen);
    if (!address) {
        std::fprintf(stderr, "central-sim: --listen: %s\n", qPrintable(refusal));
        return 1;
    }
    const QHostAddress host(address->host);
    const bool loopback = address->host == u"localhost" || (!host.isNull() && host.isLoopback());
    if (!loopback && !parser.isSet(options.remoteOption)) {
        std::fprintf(stderr,
                     "central-sim: --listen %s reaches beyond this computer: add --allow-remote\n",
                     qPrintable(address->toString()));
        return 1;
    }
    quintara::sim::NetworkServer server(unit, *address, parser.isSet(options.refuseComPortOption));
    if (!server.listen())
        return 1;
    Console console(unit, server);
    PrintLine(server.address().toString());
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("central-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUINTARA_VERSION_STRING));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "QBN central-unit simulator on a pseudo-terminal. Prints the device path, then takes "
            "commands on standard input: ") +
        quintara::sim::CommandHelp());
    parser.addHelpOption();
    parser.addVersionOption();
    const SimOptions options;
    options.addTo(parser);
    parser.process(app);

    CentralUnit unit(parser.value(options.seedOption).toUInt());
    if (!options.configure(parser, unit))
        return 1;
    if (parser.isSet(options.listenOption))
        return Listen(app, unit, parser, options);
    const std::optional<Pty> pty = OpenRawPty();
    if (!pty)
        return 1;
    QString device = pty->device;
    const bool linked = parser.isSet(options.linkOption);
    if (linked) {
        device = parser.value(options.linkOption);
        if (!LinkDevice(pty->device, device))
            return 1;
    }

    PtyServer server(unit, pty->master, pty->slave);
    Console console(unit, server);
    PrintLine(device);
    const int result = app.exec();
    if (linked)
        QFile::remove(device);
    return result;
}
