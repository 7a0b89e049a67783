#ifndef PORTSETTINGSDIALOG_H
#define PORTSETTINGSDIALOG_H

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include "ScaleProtocol.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class DeviceTask;
class QProgressBar;
class QPushButton;
class PortSettingsStore;
class ScaleFinder;

// Asks which kind of scale a port has and the line settings to read it with.
// Choosing a port shows what is kept for it; OK keeps what is shown. Stored
// values that cannot be used are named under the settings while the port is
// shown, and settings that cannot be saved are told when OK is pressed.
// Find the scale lets a ScaleFinder search the port and shows what it found.
class PortSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    PortSettingsDialog(const QStringList &ports, const QString &currentPort, PortSettingsStore *store,
                       QWidget *parent = nullptr);

    QString port() const;
    ScaleSetup setup() const;
    ~PortSettingsDialog() override;

    // The tasks of the open windows: Find the scale leaves their ports to
    // their links, and the last line each port received is shown as it comes.
    void setOpenTasks(const QList<DeviceTask *> &tasks);
    // The operator's name for the scale, e.g. "Packing line 2".
    QString scaleName() const;

    // The name the operator knows a kind of scale by.
    static QString typeName(ScaleProtocol::Type type);
    // The kind and line settings: "SICS-style commands (SI) at 9600 8N1".
    static QString setupName(const ScaleSetup &setup);

public slots:
    void accept() override;
    // Bytes a window's link received on port: the last line among them is
    // shown, and what the settings shown read from it.
    void takeReceived(const QString &port, const QByteArray &bytes);

private slots:
    void showSetupOf(const QString &port);
    void showDefaults();
    // Shows the fields the chosen kind takes, and what they read.
    void showKindFields();
    void showPreview();
    // Find the scale, or stop the search under way.
    void findScale();

private:
    void showSetup(const ScaleSetup &setup);
    // What makes the fields shown unusable, in words; empty when they can be used.
    QString unusableFields() const;
    // Shows a text quoting the line in label, cut to the dialog's width.
    void showQuoting(QLabel *label, const QString &text);
    static void choose(QComboBox *box, int value);
    void endSearch(const QString &outcome);
    void keepOnScreen();
    void warn(const QString &text);

    PortSettingsStore *store;
    QComboBox *portBox;
    QLineEdit *nameEdit;
    QComboBox *typeBox;
    QComboBox *baudBox;
    QComboBox *dataBitsBox;
    QComboBox *parityBox;
    QComboBox *stopBitsBox;
    QComboBox *flowBox;
    QLabel *ignoredLabel;
    QCheckBox *printKeyBox;
    QGroupBox *asciiGroup;
    QLineEdit *requestEdit;
    QLineEdit *tareEdit;
    QLineEdit *zeroEdit;
    QComboBox *lineEndBox;
    QSpinBox *quietBox;
    QLineEdit *endByteEdit;
    QLineEdit *patternEdit;
    QLineEdit *unstableEdit;
    QLineEdit *overloadEdit;
    QLineEdit *noWeightEdit;
    QSpinBox *decimalsBox;
    QCheckBox *quietWhileSteadyBox;
    QLabel *unitLabel;
    QLineEdit *unitEdit;
    QLabel *lastLineLabel;
    QLabel *readsLabel;
    // What came on the shown port lately, and its newest whole line.
    QByteArray received;
    QByteArray lastLine;
    QTimer previewTimer; // coalesces the preview's updates
    ScaleFinder *finder;
    QPushButton *findButton;
    QProgressBar *findProgress;
    QLabel *findLabel;
    QList<QWidget *> heldWhileSearching;
    QStringList portsInUse;
    QList<QPointer<DeviceTask>> watched;
};

#endif // PORTSETTINGSDIALOG_H
