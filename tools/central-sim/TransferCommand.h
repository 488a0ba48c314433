#pragma once

#include "tools/central-sim/SimCommand.h"

#include <QStringList>

#include <optional>

namespace quintara::sim {

class CentralUnit;

// Console lines of the transfer side (words already lower case):
//   transfer silent none|access-code|identification|init|header|block|empty-block|ending
//   transfer fault echo|nak|nak-closing|checksum|ending|modem|endless on|off
//   transfer key|id|version <byte>          handshake key, identification, version answered
//   transfer corrupt-store <offset>|off     keep the next table received with the byte at
//                                           offset (modulo its length) one higher
//   transfer tables                         lengths of the memory tables
//   transfer table <n>                      one memory table in decimal bytes
// Nothing when the line is not a transfer command.
std::optional<CommandResult> RunTransferCommand(CentralUnit &unit, const QStringList &words);

QString TransferCommandHelp();

} // namespace quintara::sim
