#ifndef PORTENUMERATOR_H
#define PORTENUMERATOR_H

#include <QStringList>

#include <memory>

// The operating system's list of present serial ports, kept behind one small
// interface so that the scanner's list logic runs unchanged on every system and
// under test with any enumeration a test makes up.
class PortEnumerator
{
public:
    virtual ~PortEnumerator();

    // Port names as the system stores them, in the system's order, without any
    // prefix or change; a name that cannot be read is an empty string.
    virtual QStringList ports() const = 0;

    // The enumeration of the system the program runs on.
    static std::unique_ptr<PortEnumerator> createDefault();
};

#endif // PORTENUMERATOR_H
