#ifndef APPTRACE_H
#define APPTRACE_H

#include <QLoggingCategory>

// The main window's trace lines. They are off unless asked for, since a running
// program writes several a second per scale into the session log:
// QT_LOGGING_RULES="scaleacq.app.debug=true" (or "scaleacq.*.debug=true" for all).
Q_DECLARE_LOGGING_CATEGORY(appTrace)

#endif // APPTRACE_H
