#ifndef WRITABLEFILE_H
#define WRITABLEFILE_H

#include <QCoreApplication>
#include <QString>

// Where the program may write a file of its own: into a regular file, or
// under a name where nothing is yet (the file is then created). Never into a
// folder, a device, a pipe or a socket, nor through a symbolic link, which
// would put the bytes into whatever file the link names.
class WritableFile
{
    Q_DECLARE_TR_FUNCTIONS(WritableFile)

public:
    // Empty when fileName may be written; otherwise why not, in the
    // operator's words ("it is a symbolic link").
    static QString refusal(const QString &fileName);
    // The same for one of the program's settings files, whose folder (the
    // program's own, made by it) must also be a real one or none yet.
    static QString settingsRefusal(const QString &fileName);
    // Where the program keeps its settings file of this name ("ports" gives
    // ~/.config/scaleacq/ports.conf), worked out without opening it.
    static QString settingsFile(const QString &name);
    // Whether a settings file may be read: a regular file, or nothing (read
    // as empty). A pipe would hold the reader until someone writes it.
    static bool mayRead(const QString &fileName);
};

#endif // WRITABLEFILE_H
