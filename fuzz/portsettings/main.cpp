// Fuzzes the reader of the stored port settings: a ports.conf of any bytes
// is put where the program keeps it, and the setup of a port is read from
// it. Whatever the file holds, the setup is one the settings dialog could
// have made: a known kind, line settings the dialog offers, an other ASCII
// scale's fields it accepts, a unit only where the kind leaves it to the
// operator. Written back and read again, that setup is read as it was, with
// nothing left out (from the file, or from the run when the file is not one
// that can be written over).
//
// Input layout: the file's bytes.

#include "FuzzBytes.h"
#include "PortSettingsStore.h"

#include "AsciiProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <utime.h>

namespace {

// The port the seeds write their group for.
const QString port = QStringLiteral("ttyUSB0");

QTemporaryDir *configHome = nullptr;

void checkChoices(const ScaleSetup &setup, const QByteArray &file)
{
    using S = QSerialPort;
    if (!ScaleProtocol::types().contains(setup.type))
        FuzzBytes::fail("a kind of scale the program does not have", file);
    const PortSettings &line = setup.line;
    if (!QList<qint32>({1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}).contains(line.baudRate)
        || !(line.dataBits == S::Data7 || line.dataBits == S::Data8)
        || !QList<S::Parity>({S::NoParity, S::EvenParity, S::OddParity}).contains(line.parity)
        || !(line.stopBits == S::OneStop || line.stopBits == S::TwoStop)
        || !QList<S::FlowControl>({S::NoFlowControl, S::SoftwareControl, S::HardwareControl})
                .contains(line.flowControl))
        FuzzBytes::fail("line settings the dialog does not offer", file);
    const bool namesNoUnit = setup.type == ScaleProtocol::Ascii || setup.type == ScaleProtocol::RetailW;
    if (!namesNoUnit && !setup.unit.isEmpty())
        FuzzBytes::fail("an operator's unit for a kind that names its own", file);
    if (!setup.unit.isEmpty() && !AsciiProtocol::isUnitWord(setup.unit))
        FuzzBytes::fail("a unit that is no word", file);
    const AsciiSetup &ascii = setup.ascii;
    if (setup.type != ScaleProtocol::Ascii) {
        const AsciiSetup none;
        if (ascii.request != none.request || ascii.tareCommand != none.tareCommand
            || ascii.zeroCommand != none.zeroCommand || ascii.pattern != none.pattern || ascii.lineEnd != none.lineEnd
            || ascii.decimals != none.decimals || !ascii.overloadText.isEmpty())
            FuzzBytes::fail("an other ASCII scale's fields for another kind", file);
        return;
    }
    for (const QString &typed : {ascii.request, ascii.tareCommand, ascii.zeroCommand}) {
        bool sendable = false;
        AsciiProtocol::decoded(typed, &sendable);
        if (!sendable)
            FuzzBytes::fail("a request or command that cannot be sent", file);
    }
    if (ascii.lineEnd < AsciiSetup::Cr || ascii.lineEnd > AsciiSetup::OtherByte)
        FuzzBytes::fail("a line end the dialog does not offer", file);
    // Every reply has an end: its byte, or a quiet time the dialog offers.
    const AsciiProtocol protocol(ascii, setup.unit);
    if (ascii.lineEnd == AsciiSetup::Quiet
            ? ascii.quietMs < AsciiProtocol::shortestQuiet || ascii.quietMs > AsciiProtocol::longestQuiet
            : protocol.terminator().isEmpty())
        FuzzBytes::fail("a reply that would have no end", file);
    if (!ascii.pattern.isEmpty() && !AsciiProtocol::isUsablePattern(ascii.pattern))
        FuzzBytes::fail("a pattern that cannot be used", file);
    if (ascii.decimals < 0 || ascii.decimals > AsciiProtocol::mostDecimals)
        FuzzBytes::fail("decimal places the dialog does not offer", file);
}

bool same(const ScaleSetup &a, const ScaleSetup &b)
{
    const AsciiSetup &x = a.ascii;
    const AsciiSetup &y = b.ascii;
    return a.type == b.type && a.line.baudRate == b.line.baudRate && a.line.dataBits == b.line.dataBits
           && a.line.parity == b.line.parity && a.line.stopBits == b.line.stopBits
           && a.line.flowControl == b.line.flowControl && a.printKey == b.printKey && a.unit == b.unit
           && x.request == y.request && x.tareCommand == y.tareCommand && x.zeroCommand == y.zeroCommand
           && x.lineEnd == y.lineEnd && x.quietMs == y.quietMs
           && x.endByte == y.endByte && x.pattern == y.pattern && x.unstableText == y.unstableText
           && x.overloadText == y.overloadText && x.noWeightText == y.noWeightText && x.decimals == y.decimals
           && x.quietWhileSteady == y.quietWhileSteady;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The settings go to a folder of the run's own, never the user's.
    // In memory where the system has a place for it: each input is written
    // twice, and a disk's flushes would set the pace.
    const QString shared = QStringLiteral("/dev/shm");
    configHome = QFileInfo(shared).isDir() ? new QTemporaryDir(shared + QStringLiteral("/portsettings-XXXXXX"))
                                           : new QTemporaryDir;
    std::atexit([] { delete configHome; });
    qputenv("XDG_CONFIG_HOME", configHome->path().toLocal8Bit());
    QDir(configHome->path()).mkpath(QStringLiteral("scaleacq"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), int(size));
    const QString fileName = PortSettingsStore::fileName();
    {
        QFile stored(fileName);
        if (!stored.open(QIODevice::WriteOnly | QIODevice::Truncate) || stored.write(file) != file.size())
            FuzzBytes::fail("the settings file could not be written", file);
    }
    // A time of its own for every input, so that the file is read anew and
    // not taken from what was read of the last one.
    static long run = 0;
    const struct utimbuf times = {1000000000 + ++run, 1000000000 + run};
    utime(QFile::encodeName(fileName).constData(), &times);

    PortSettingsStore store;
    QStringList ignored;
    const ScaleSetup setup = store.setup(port, &ignored);
    checkChoices(setup, file);
    // A file Qt cannot parse is not written over; the store then keeps the
    // setup for the run, and reads that back.
    store.setSetup(port, setup);
    QStringList ignoredAgain;
    const ScaleSetup again = store.setup(port, &ignoredAgain);
    if (!same(setup, again))
        FuzzBytes::fail("a setup written back reads otherwise", file);
    if (!ignoredAgain.isEmpty())
        FuzzBytes::fail(qPrintable(QStringLiteral("a setup written back has entries left out: ") + ignoredAgain.join(' ')),
                        file);
    return 0;
}
