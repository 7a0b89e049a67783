#ifndef RETAILWPROTOCOL_H
#define RETAILWPROTOCOL_H

#include "ScaleProtocol.h"

// A retail scale asked with W: STX, the weight with its point, CR; or STX,
// "?", a status byte, CR when it has no weight to give. Its replies name no
// unit: readings carry the one the operator set.
class RetailWProtocol : public ScaleProtocol
{
public:
    explicit RetailWProtocol(const QString &unit = QString()) : unit(unit) {}
    QByteArray valueRequest() const override { return QByteArrayLiteral("W"); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;

    // The bits of the status byte (bit 6 is always set, to keep it printable).
    enum StatusBit {
        InMotion = 0x01,
        OverCapacity = 0x02,
        UnderZero = 0x04,
        OutsideZeroCapture = 0x08,
        CentreOfZero = 0x10,
        Net = 0x20,
    };
    // The longest reply taken: STX, a weight of up to twenty characters, CR.
    static constexpr int longestReply = 22;

private:
    QString unit;
};

#endif // RETAILWPROTOCOL_H
