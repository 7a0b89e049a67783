#ifndef DESCRIPTIONWINDOW_H
#define DESCRIPTIONWINDOW_H

#include <QDialog>
#include <QString>

namespace Ui {
class DescriptionWindow;
}

// Asks for the one-line description printed under an exported plot's title.
// The constructor runs the dialog modally and returns when it is closed, by
// OK or otherwise: either way the text typed so far is the description.
class DescriptionWindow : public QDialog
{
    Q_OBJECT

public:
    explicit DescriptionWindow(QWidget *parent = nullptr);
    ~DescriptionWindow() override;

    QString description() const;

private slots:
    void charsLeft(const QString &text);

private:
    Ui::DescriptionWindow *ui;
};

#endif // DESCRIPTIONWINDOW_H
