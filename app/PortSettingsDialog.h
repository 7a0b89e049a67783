#ifndef PORTSETTINGSDIALOG_H
#define PORTSETTINGSDIALOG_H

#include <QDialog>

#include "ScaleProtocol.h"

class QComboBox;
class QLabel;
class QLineEdit;
class PortSettingsStore;

// Asks which kind of scale a port has and the line settings to read it with.
// Choosing a port shows what is kept for it; OK keeps what is shown. Stored
// values that cannot be used are named under the settings while the port is
// shown, and settings that cannot be saved are told when OK is pressed.
class PortSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    PortSettingsDialog(const QStringList &ports, const QString &currentPort, PortSettingsStore *store,
                       QWidget *parent = nullptr);

    QString port() const;
    ScaleSetup setup() const;
    // The operator's name for the scale, e.g. "Packing line 2".
    QString scaleName() const;

    // The name the operator knows a kind of scale by.
    static QString typeName(ScaleProtocol::Type type);

public slots:
    void accept() override;

private slots:
    void showSetupOf(const QString &port);
    void showDefaults();

private:
    void showSetup(const ScaleSetup &setup);
    static void choose(QComboBox *box, int value);

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
};

#endif // PORTSETTINGSDIALOG_H
