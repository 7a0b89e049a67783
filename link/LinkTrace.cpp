#include "LinkTrace.h"

Q_LOGGING_CATEGORY(linkTrace, "scaleacq.link", QtInfoMsg)
