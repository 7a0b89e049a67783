#include "AboutWindow.h"
#include "ui_AboutWindow.h"

#include "ProgramVersion.h"

AboutWindow::AboutWindow(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutWindow)
{
    ui->setupUi(this);
    // The page's heading names the version the program is.
    ui->textBrowser->setHtml(ui->textBrowser->toHtml().replace(QStringLiteral("@VERSION@"),
                                                               QLatin1String(programVersion)));
}

AboutWindow::~AboutWindow()
{
    delete ui;
}
