#include "link/LinkLog.h"

namespace quintara::link {

Q_LOGGING_CATEGORY(lcLine, "quintara.link.line", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFrame, "quintara.link.frame", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTransfer, "quintara.link.transfer", QtWarningMsg)

} // namespace quintara::link
