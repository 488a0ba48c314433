#pragma once

#include <QStringList>

class QTextStream;

namespace quintara::platform {
class Clock;
}

namespace quintara::cli {

// quintara-cli sites ...: the site book. `arguments` are the program's, "sites" second. The
// exit status: 0 done, 1 failed (for a batch: any site failed, the others still done), 2 a
// mistake on the command line.
int RunSites(const QStringList &arguments, const platform::Clock &clock, QTextStream &out);

} // namespace quintara::cli
