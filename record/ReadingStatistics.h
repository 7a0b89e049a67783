#ifndef READINGSTATISTICS_H
#define READINGSTATISTICS_H

#include <QCoreApplication>
#include <QString>

// Count, mean, standard deviation, least and greatest of the readings a
// window has taken, in one unit.
class ReadingStatistics
{
    Q_DECLARE_TR_FUNCTIONS(ReadingStatistics)

public:
    // A reading as the scale wrote it; another unit than the one before
    // starts the statistics again, since they would mix kilograms and grams.
    void add(const QString &value, const QString &units);
    void reset();

    int count() const { return n; }
    double mean() const { return average; }
    // The sample standard deviation; zero until two readings came.
    double standardDeviation() const;
    double minimum() const { return least; }
    double maximum() const { return greatest; }

    // One line for the window, with the program's decimal separator.
    QString text(QChar decimalPoint) const;

private:
    int n = 0;
    double average = 0;
    double squares = 0; // sum of squared distances from the running mean
    double least = 0;
    double greatest = 0;
    int decimals = 0;   // of the most precise reading
    QString unit;
};

#endif // READINGSTATISTICS_H
