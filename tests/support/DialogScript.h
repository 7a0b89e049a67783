#ifndef DIALOGSCRIPT_H
#define DIALOGSCRIPT_H

#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QQueue>

#include <functional>

// Plays the operator in the modal dialogs a command brings up: each new one
// gets the next answer in line. Every dialog is noted; one with no answer left
// is cancelled, so a question the operator should not have been asked fails
// the test instead of hanging it.
class DialogScript : public QObject
{
public:
    using Answer = std::function<void(QWidget *)>;

    DialogScript()
    {
        connect(&poll, &QTimer::timeout, this, &DialogScript::look);
        poll.start(5);
    }

    DialogScript &then(const Answer &answer)
    {
        answers.enqueue(answer);
        return *this;
    }

    QStringList met; // class names of the dialogs, in the order they came up
    QStringList titles;

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || seen.contains(modal))
            return;
        seen << modal;
        met << QString::fromLatin1(modal->metaObject()->className());
        titles << modal->windowTitle();
        const Answer answer = answers.isEmpty() ? Answer() : answers.dequeue();
        // From the event loop rather than this slot: an answer may open a
        // nested dialog, and this timer does not fire while its slot runs.
        QTimer::singleShot(0, modal, [modal, answer] {
            if (answer)
                answer(modal);
            else
                modal->close();
        });
    }

    QTimer poll;
    QQueue<Answer> answers;
    QList<QPointer<QWidget>> seen;
};

inline void cancel(QWidget *modal)
{
    modal->close(); // a dialog's close is its Cancel
}

// Types the name into the save dialog and presses Return, as the operator does.
inline DialogScript::Answer chooseFile(const QString &path)
{
    return [path](QWidget *modal) {
        auto *files = qobject_cast<QFileDialog *>(modal);
        if (!files)
            return cancel(modal);
        auto *edit = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        edit->setText(path);
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

// Reads a message box into text and presses its given button (its default
// one when none is given); anything else is cancelled.
inline DialogScript::Answer readMessage(QString *text,
                                        QMessageBox::StandardButton button = QMessageBox::NoButton)
{
    return [text, button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return cancel(modal);
        if (text)
            *text = box->text();
        if (button == QMessageBox::NoButton)
            box->accept();
        else
            box->button(button)->click();
    };
}

#endif // DIALOGSCRIPT_H
