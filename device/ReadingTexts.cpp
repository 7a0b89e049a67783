#include "ReadingTexts.h"

#include "IODeviceNew.h"
#include "SerialPort.h"

QLocale ReadingTexts::numberLocale()
{
    // Asked for at every reading shown: built again only when the language,
    // and with it the locale's name, has changed.
    static QString name;
    static QLocale numbers;
    const QString now = tr("en_US", "the locale of the numbers shown");
    if (now != name) {
        numbers = QLocale(now);
        numbers.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        name = now;
    }
    return numbers;
}

QChar ReadingTexts::decimalPoint()
{
    return numberLocale().decimalPoint();
}

// A scale of another kind, or one set to another speed, answers nothing or
// garbage: the likely cure, on a line of its own.
QString ReadingTexts::portSettingsHint()
{
    return QLatin1Char('\n')
           + tr("If the scale is of another kind or uses other line settings, choose them in "
                "Device \u2192 Port settings...");
}

QString ReadingTexts::noReadingText(int cause, const QString &detail, ScaleProtocol::Type type)
{
    switch (cause) {
    case IODeviceNew::PortNotOpen:
        return tr("The port cannot be opened: %1").arg(detail);
    case IODeviceNew::PortAccessDenied:
        return tr("The port cannot be opened: %1.\nAnother program may be using it, or your user "
                  "may not be in the dialout group (sudo adduser $USER dialout, then log in "
                  "again).")
            .arg(detail);
    case IODeviceNew::UnitNotAccepted:
        if (type != ScaleProtocol::BuiltIn)
            return tr("The scale names a unit that is not accepted: \"%1\".").arg(detail)
                   + portSettingsHint();
        return tr("The scale names a unit that is not accepted: \"%1\" (accepted: kg, kg., szt, g).")
                   .arg(detail)
               + portSettingsHint();
    case IODeviceNew::ScaleOverloaded:
        return tr("The scale is overloaded: the load is above its weighing range.");
    case IODeviceNew::ScaleUnderloaded:
        return tr("The scale is underloaded: the load is below its weighing range.");
    case IODeviceNew::ScaleBusy:
        return tr("The scale is busy and sends no weight.");
    case IODeviceNew::ScaleOutOfRange:
        return tr("The load is out of the scale's weighing range.");
    case IODeviceNew::ScaleFailed:
        return tr("The scale reports an error: \"%1\".").arg(detail);
    case IODeviceNew::ScaleInMotion:
        return tr("The scale is in motion and sends no weight until it settles.");
    case IODeviceNew::ScaleSentNoWeight:
        return tr("The scale sent no weight: \"%1\".").arg(detail);
    case IODeviceNew::ReplyNotUnderstood:
        return tr("The scale's reply is not a reading: \"%1\".").arg(detail) + portSettingsHint();
    default:
        return tr("No answer from the scale: check the cable, the port and that the scale is "
                  "switched on.")
               + portSettingsHint();
    }
}

QString ReadingTexts::setupText(const ScaleSetup &setup, const QString &port)
{
    // The converter on the far end of a network port keeps the line settings.
    if (SerialPort::isNetworkName(port))
        return ScaleProtocol::name(setup.type) + QStringLiteral(", ") + tr("network");
    QString text = ScaleProtocol::name(setup.type) + QStringLiteral(", ") + setup.line.name();
    if (setup.line.flowControl == QSerialPort::SoftwareControl)
        text += QStringLiteral(", XON/XOFF");
    else if (setup.line.flowControl == QSerialPort::HardwareControl)
        text += QStringLiteral(", RTS/CTS");
    return text;
}

QString ReadingTexts::setupTip(const QString &port)
{
    return SerialPort::isNetworkName(port)
               ? tr("The kind of scale this network port is read with; its line settings "
                    "are made on the converter. Device \u2192 Port settings... changes the kind.")
               : tr("The kind of scale and the line settings this port is read with. "
                    "Device \u2192 Port settings... changes them.");
}

QString ReadingTexts::commandText(int command, bool done, const QString &answer)
{
    const bool tare = command == ScaleProtocol::Tare;
    if (done && answer.isEmpty())
        return tare ? tr("Tare sent; this kind of scale does not confirm it.")
                    : tr("Zero sent; this kind of scale does not confirm it.");
    if (done)
        return (tare ? tr("Tare done (the scale answered \"%1\").") : tr("Zero done (the scale answered \"%1\")."))
            .arg(answer);
    if (answer.isEmpty())
        return tare ? tr("No answer from the scale to the tare command.")
                    : tr("No answer from the scale to the zero command.");
    return (tare ? tr("The scale refused tare: %1") : tr("The scale refused zero: %1")).arg(answer);
}

QString ReadingTexts::commandUnavailable(const ScaleSetup &setup, ScaleProtocol::Command command)
{
    if (!ScaleProtocol::create(setup)->commandRequest(command, false).isEmpty())
        return QString();
    if (setup.type == ScaleProtocol::Ascii)
        return command == ScaleProtocol::Tare
                   ? tr("No tare command is set for this scale: type it in Device \u2192 Port settings...")
                   : tr("No zero command is set for this scale: type it in Device \u2192 Port settings...");
    return command == ScaleProtocol::Tare ? tr("This kind of scale takes no tare command from the program.")
                                          : tr("This kind of scale takes no zero command from the program.");
}

QString ReadingTexts::plainTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped()
           + QStringLiteral("</p>");
}
