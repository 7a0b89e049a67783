#ifndef LINKTRACE_H
#define LINKTRACE_H

#include <QLoggingCategory>

// The scale link's trace lines. They are off unless asked for, since a running
// program writes several a second per scale into the session log:
// QT_LOGGING_RULES="scaleacq.link.debug=true" (or "scaleacq.*.debug=true" for all).
Q_DECLARE_LOGGING_CATEGORY(linkTrace)

#endif // LINKTRACE_H
