#include "AppTrace.h"

Q_LOGGING_CATEGORY(appTrace, "scaleacq.app", QtInfoMsg)
