#include "PlotTrace.h"

Q_LOGGING_CATEGORY(plotTrace, "scaleacq.plot", QtInfoMsg)
