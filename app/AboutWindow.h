#ifndef ABOUTWINDOW_H
#define ABOUTWINDOW_H

#include <QDialog>

namespace Ui {
class AboutWindow;
}

// The fixed page about the program. The caller runs it with exec(): running
// the event loop from inside a constructor would leave a half-built object on
// the stack for as long as the dialog is open.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit AboutWindow(QWidget *parent = nullptr);
    ~AboutWindow() override;

private:
    Ui::AboutWindow *ui;
};

#endif // ABOUTWINDOW_H
