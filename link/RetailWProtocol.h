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

private:
    QString unit;
};

#endif // RETAILWPROTOCOL_H
