#include "AppTestSupport.h"
#include "DemoScales.h"
#include "PortSettingsDialog.h"
#include <QComboBox>
#include <QPushButton>
#include <QLCDNumber>
#include <QSettings>

// Each port's kind of scale and line settings, as the operator sets them in
// Port settings... and the program keeps them: in the user's settings across
// restarts, on the line when the port is chosen, at once for an open window.
class tst_PortSettings : public DeviceFixture
{
    Q_OBJECT
    QTemporaryDir home;
    void newWindow()
    {
        delete window;
        (window = new MdiWindow(nullptr, nullptr))->show();
        scaner()->setPortEnumerator(std::make_unique<SystemPortEnumerator>(QFileInfo(port(0)).path()));
    }
    // Port settings... answered as the operator would: the port, the kind,
    // the kind's defaults, then a speed and a flow control of its own.
    void setPort(const QString &name, ScaleProtocol::Type type, int baud = 0, const QString &flow = QString())
    {
        DialogScript script;
        script.then([&](QWidget *dialog) {
            auto box = [dialog](const char *name) { return dialog->findChild<QComboBox *>(name); };
            box("portBox")->setCurrentText(name);
            box("typeBox")->setCurrentIndex(box("typeBox")->findData(type));
            QTest::mouseClick(dialog->findChild<QPushButton *>("defaultsButton"), Qt::LeftButton);
            if (baud)
                box("baudBox")->setCurrentText(QString::number(baud));
            if (!flow.isEmpty())
                box("flowBox")->setCurrentText(flow);
            qobject_cast<QDialog *>(dialog)->accept();
        });
        action("portSettingsAct")->trigger();
        QCOMPARE(script.met, QStringList("PortSettingsDialog"));
    }
    static QString readingOf(DocumentWindow *document)
    {
        return document->deviceTask()->readoutWidget()->property("value").toString() + " "
               + document->deviceTask()->unitsWidget()->text();
    }
private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    }
    void keptAcrossARestartAndUsedWhenThePortIsChosen()
    {
        scales = std::make_unique<ScaleOnPty>();
        QVERIFY(scales->add());
        ScaleSimulator *scale = scales->at(0);
        scale->setType(ScaleProtocol::Sics);
        PortSettings line = ScaleProtocol::usualSettings(ScaleProtocol::Sics);
        line.baudRate = 19200;
        line.flowControl = QSerialPort::HardwareControl;
        scale->setExpectedSettings(line);
        scale->setWeight(42.5);
        newWindow();
        setPort(port(0), ScaleProtocol::Sics, 19200, "RTS/CTS");
        newWindow(); // the program started again
        DocumentWindow *document = open(port(0));
        QVERIFY(document);
        QTRY_COMPARE(document->deviceTask()->unitsWidget()->text(), QString("g"));
        QVERIFY(scale->lineMatches());
        QCOMPARE(scale->lineSettings().baudRate, 19200);
        QCOMPARE(scale->lineSettings().flowControl, QSerialPort::HardwareControl);
    }
    // OK on the active window's port reads it the new way, without closing it;
    // a reading the scale does not call stable looks apart until it is.
    void okReadsTheOpenPortTheNewWay()
    {
        scales = std::make_unique<ScaleOnPty>();
        QVERIFY(scales->add());
        ScaleSimulator *scale = scales->at(0);
        newWindow();
        DocumentWindow *document = open(port(0));
        QVERIFY(document);
        QTRY_COMPARE(document->deviceTask()->unitsWidget()->text(), QString("kg"));
        scale->setType(ScaleProtocol::HeaderComma);
        scale->setWeight(7.25);
        scale->setStable(false);
        setPort(port(0), ScaleProtocol::HeaderComma);
        QLCDNumber *readout = document->deviceTask()->readoutWidget();
        QTRY_COMPARE(document->deviceTask()->unitsWidget()->text(), QString("g"));
        QCOMPARE(readout->segmentStyle(), QLCDNumber::Outline);
        QVERIFY(!readout->toolTip().isEmpty());
        scale->setStable(true);
        QTRY_COMPARE(readout->segmentStyle(), QLCDNumber::Flat);
        QCOMPARE(workspace()->subWindowList().size(), 1);
        QVERIFY(qAbs(readout->value() - 7.25) < 0.5);
    }
    // The demo: four kinds of scale, offered and read like real ones.
    void demoScalesAreOfferedAndReadLikeRealOnes()
    {
        scales = std::make_unique<ScaleOnPty>();
        QVERIFY(scales->add()); // its folder's ports stand for the system's
        newWindow();
        DemoScales demo(window->portSettingsStore());
        window->setDemo(true);
        QVERIFY(window->windowTitle().endsWith(" - demo with simulated scales"));
        QCOMPARE(demo.ports().size(), 4);
        scaner()->setPortEnumerator(std::make_unique<SystemPortEnumerator>(QFileInfo(demo.ports()[0]).path()));
        QStringList units;
        for (const QString &name : demo.ports()) {
            DocumentWindow *document = open(name);
            QVERIFY2(document, qPrintable(name));
            QVERIFY(QTest::qWaitFor([&] { return !readingOf(document).endsWith("--"); }, 3000));
            units << document->deviceTask()->unitsWidget()->text();
        }
        QCOMPARE(units, QStringList({"kg", "g", "kg", "g"}));
        delete window; // gives the demo's ports back before the demo goes
        window = nullptr;
    }
};

QTEST_MAIN(tst_PortSettings)
#include "tst_portsettings.moc"
