#include "ReadingStatistics.h"

#include <QtMath>

void ReadingStatistics::add(const QString &value, const QString &units)
{
    if (units != unit)
        reset();
    unit = units;
    const double x = value.toDouble();
    const int point = value.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        int digits = 0;
        while (point + 1 + digits < value.size() && value.at(point + 1 + digits).isDigit())
            ++digits;
        decimals = qMax(decimals, digits);
    }
    // Welford's running update: no sum of squares of large weights to lose
    // the small differences in.
    ++n;
    const double before = average;
    average += (x - before) / n;
    squares += (x - before) * (x - average);
    least = n == 1 ? x : qMin(least, x);
    greatest = n == 1 ? x : qMax(greatest, x);
}

void ReadingStatistics::reset()
{
    *this = ReadingStatistics();
}

double ReadingStatistics::standardDeviation() const
{
    return n < 2 ? 0 : qSqrt(squares / (n - 1));
}

QString ReadingStatistics::text(QChar decimalPoint) const
{
    if (n == 0)
        return tr("Statistics: no reading taken yet");
    // Mean and deviation get one digit more than the scale gives.
    auto number = [decimalPoint, this](double x, int places) {
        return QString::number(x, 'f', places).replace(QLatin1Char('.'), decimalPoint) + QLatin1Char(' ')
               + unit;
    };
    return tr("Count: %1   Mean: %2   Std. dev.: %3   Min: %4   Max: %5")
        .arg(QString::number(n), number(average, decimals + 1),
             n < 2 ? QStringLiteral("\u2013") : number(standardDeviation(), decimals + 1),
             number(least, decimals), number(greatest, decimals));
}
