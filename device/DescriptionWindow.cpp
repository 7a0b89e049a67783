#include "DescriptionWindow.h"
#include "ui_DescriptionWindow.h"

#include <QLineEdit>

DescriptionWindow::DescriptionWindow(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DescriptionWindow)
{
    ui->setupUi(this);
    connect(ui->description, &QLineEdit::textChanged, this, &DescriptionWindow::charsLeft);
    // The caller only wants the text; how the dialog was closed does not matter.
    exec();
}

DescriptionWindow::~DescriptionWindow()
{
    delete ui;
}

QString DescriptionWindow::description() const
{
    return ui->description->text();
}

void DescriptionWindow::charsLeft(const QString &text)
{
    // The suffix is never translated, so the count reads the same in every language.
    ui->label->setText(QString::number(ui->description->maxLength() - text.length())
                       + QStringLiteral(" chars left"));
}
