#pragma once

#include "book/Batch.h"
#include "book/SiteFolders.h"

#include <QString>

#include <functional>

namespace quintara::settings {
class Strings;
}

namespace quintara::book {

// A batch's work done over each site's own connection: the health check, a receive of the
// clock table, a send (and read-back). Every byte on the line goes into the version's trace.
class LinkWork final : public SiteWork {
public:
    // `settingsFile` maps port numbers to devices and may set the handshake key, as for a
    // single transfer.
    LinkWork(const settings::Strings &strings, const platform::Clock &clock,
             ProblemCounter countProblems, QString settingsFile);

    WorkResult run(BatchKind kind, const Site &site, const QByteArray &projectFile,
                   const QByteArray &clockImage) override;
    void requestStop() override;

    // The link's own progress texts ("Connecting", "Progress: 40%"), as they come.
    std::function<void(const QString &text)> progressText;

private:
    WorkResult transfer(BatchKind kind, const Site &site, const QByteArray &projectFile,
                        const QByteArray &clockImage);

    const settings::Strings &m_strings;
    const platform::Clock &m_clock;
    ProblemCounter m_countProblems;
    QString m_settingsFile;
    std::function<void()> m_stopLink;
    bool m_stopped = false;
};

} // namespace quintara::book
