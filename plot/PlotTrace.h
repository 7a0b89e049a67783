#ifndef PLOTTRACE_H
#define PLOTTRACE_H

#include <QLoggingCategory>

// The plot's trace lines. They are off unless asked for, since a running
// program writes several a second per scale into the session log:
// QT_LOGGING_RULES="scaleacq.plot.debug=true" (or "scaleacq.*.debug=true" for all).
Q_DECLARE_LOGGING_CATEGORY(plotTrace)

#endif // PLOTTRACE_H
