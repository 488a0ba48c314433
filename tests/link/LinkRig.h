#pragma once

#include "link/Transfer.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/link/LoopbackUnit.h"
#include "tools/central-sim/CentralUnit.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace quintara::testing {

// The table link with the simulator's engine behind a fake line (or a loopback server), on
// virtual time.
struct LinkRig {
    // A project made elsewhere of its model may stand in for the rig's own, and the unit may sit
    // behind a server on loopback, reached by a NetworkLine.
    explicit LinkRig(project::ProjectModel *project = nullptr,
                     std::optional<link::NetworkAddress::Kind> network = std::nullopt)
        : wire(network ? loopback.emplace(unit, pump, *network).line() : line)
    {
        if (!network)
            ConnectCentralUnit(unit, line, pump);
        // The carrier line follows the simulated modem.
        pump.addHook([this](qint64) { line.carrier = unit.transfer().carrier(); });
        link.setup.portNumber = 1;
        link.observer.progress = [this](int percent, const QString &label) {
            progress.append(percent);
            labels.append(label);
        };
        link.observer.sendCaption = [this](const QString &text) { caption = text; };
        link.observer.beep = [this] { ++beeps; };
        if (!project)
            ownProject = std::make_unique<project::ProjectModel>();
        model = project ? project : ownProject.get();
        useModel(model->ModelIndex, project == nullptr);
    }

    // The project's and the unit's model.
    void useModel(int modelIndex, bool newProject = true)
    {
        if (newProject) {
            project::NewProject(*model, 19200, 0);
            project::SelectModel(*model, modelIndex, strings);
        }
        link.setup.modelIndex = modelIndex;
        side().config().identification = link::ModelIdentification(modelIndex);
    }
    sim::TransferSide &side() { return unit.transfer(); }
    // A modem at both ends.
    void useModem(bool callBack = false)
    {
        side().config().modem = link.setup.connectedWithModem = true;
        link.setup.callBackNecessary = callBack;
        link.setup.initString = QStringLiteral("  ATZ0 ");
        link.setup.telephoneNumber = QStringLiteral(" 0123 45 ");
    }
    // The connection on its own, on a line of its own: its code.
    int connect()
    {
        EXPECT_TRUE(parts.open(link.setup.portNumber, link.setup.baudRate));
        link::Connection connection(parts, progressParts, notes);
        int result = connection.start(link.setup);
        while (result == link::Pending) {
            pump.processEvents(parts.msUntilNextLook());
            if (const auto waited = parts.poll(link.StopRequested()))
                result = connection.resume(*waited);
        }
        return result;
    }

    // Jobs run as a front end runs them, its events until the job is done; the outcome's code.
    int send(int n, int size)
    {
        fillSendArea(n, size);
        link.startSend(tables, n);
        return finish();
    }
    int receive(std::optional<int> n = std::nullopt)
    {
        link.startReceive(tables, *model, n);
        return finish();
    }
    int finish()
    {
        drive(link);
        EXPECT_FALSE(wire.isOpen());
        return told(link.outcome());
    }
    int told(const link::TransferOutcome &told)
    {
        EXPECT_EQ(link.LastCode(), told.status);
        outcome = told;
        beeps += told.beeps;
        return told.status;
    }
    // The first message the user sees, the failure text of a code.
    QString message() const
    {
        return outcome.notices.empty() ? QString() : outcome.notices[0].text;
    }
    QString failureText(int code) const { return link::FailureText(code, strings); }

    // A send area of `size` bytes 1, 2, 3... for table n, the whole transfer's bytes.
    void fillSendArea(int n, int size)
    {
        tables[n].Length = static_cast<quint16>(size);
        for (int i = 0; i < size; ++i)
            tables[n].Data[static_cast<std::size_t>(i)] = static_cast<quint8>(i % 250 + 1);
        tables.BytesTotal = size;
    }
    QByteArray sendArea(int n) const
    {
        return QByteArray(reinterpret_cast<const char *>(tables[n].Data.data()), tables[n].Length);
    }
    // The block headers of the table whose header follows the handshake's 24 bytes.
    QList<int> blockHeaders(quint8 h) const
    {
        QList<int> headers;
        const QByteArray &w = line.written;
        if (w.size() <= 24 || static_cast<quint8>(w.at(24)) != h)
            return headers;
        // Full blocks carry 15 bytes and their checksum; the first shorter one is the last.
        for (qsizetype at = 25; at < w.size() && (headers.isEmpty() || (headers.last() & 15) == 15);
             at += (headers.last() & 15) + 2)
            headers.append(static_cast<quint8>(w.at(at)));
        return headers;
    }

    VirtualPump pump;
    FakeSerialLine line{pump};
    sim::CentralUnit unit;
    std::optional<LoopbackUnit> loopback;
    link::SerialLine &wire; // the link's line
    settings::Strings strings{settings::StringTable::builtIn()};
    link::CentralLink link{wire, pump, strings};
    link::Drive drive = DriveOn(pump);
    link::LinkLine parts{line, pump};
    link::TransferProgress progressParts{strings, link.observer};
    link::AttemptNotes notes;
    tables::TableSet tables;
    std::unique_ptr<project::ProjectModel> ownProject;
    project::ProjectModel *model = nullptr;
    link::TransferOutcome outcome;
    int beeps = 0;
    QList<int> progress;
    QStringList labels;
    QString caption;
};

} // namespace quintara::testing
