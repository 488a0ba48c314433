#pragma once

#include <QLoggingCategory>

// Logging of the link, off by default. Switch on with QT_LOGGING_RULES, for example
// QT_LOGGING_RULES="quintara.link.*.debug=true".
namespace quintara::link {

Q_DECLARE_LOGGING_CATEGORY(lcLine)     // quintara.link.line: the port opened, closed, broken
Q_DECLARE_LOGGING_CATEGORY(lcFrame)    // quintara.link.frame: frames of the on-line protocol
Q_DECLARE_LOGGING_CATEGORY(lcTransfer) // quintara.link.transfer: attempts, tables, codes

} // namespace quintara::link
