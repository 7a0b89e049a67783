#ifndef READINGTEXTS_H
#define READINGTEXTS_H

#include <QCoreApplication>
#include <QLocale>
#include <QString>

#include "ScaleProtocol.h"

// What a scale's window says in words, and the numbers of the program's
// language. Whichever class of the window shows a text, it is translated
// under the device task's context, so that one context holds the window's
// words.
class ReadingTexts
{
    Q_DECLARE_TR_FUNCTIONS(DeviceTask)

public:
    // Numbers as the program's language writes them (its decimal separator).
    // The GUI thread's alone.
    static QLocale numberLocale();
    static QChar decimalPoint();

    // What the operator is told for a link's NoReadingCause.
    static QString noReadingText(int cause, const QString &detail,
                                 ScaleProtocol::Type type = ScaleProtocol::BuiltIn);
    // E.g. "SICS-style commands (SI), 9600 8N1", or for a network port
    // "SICS-style commands (SI), network"; its tip says where it is changed.
    static QString setupText(const ScaleSetup &setup, const QString &port);
    static QString setupTip(const QString &port);
    // What the operator is told of a command's outcome (see
    // IODeviceNew::commandAnswered).
    static QString commandText(int command, bool done, const QString &answer);
    // Why a scale of this setup cannot be made to tare or zero from here, in
    // words for a tool tip; empty when it can.
    static QString commandUnavailable(const ScaleSetup &setup, ScaleProtocol::Command command);

    // A tool tip that shows the text as it is, markup and all, its line
    // breaks and runs of blanks kept: a tip takes a text that merely looks
    // like markup for rich text.
    static QString plainTip(const QString &text);

private:
    static QString portSettingsHint();
};

#endif // READINGTEXTS_H
