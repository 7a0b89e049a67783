#ifndef CSVREADER_H
#define CSVREADER_H

#include <QtTest>

// The rows of a CSV file as Python's csv module reads them: a reader that
// owes nothing to the program's own writer. Empty when python3 is missing.
inline QList<QStringList> csvRows(const QString &path, QChar delimiter)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2], strict=True))))"),
                  path, delimiter});
    python.waitForFinished(10000);
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        rows << row.toVariant().toStringList();
    return rows;
}

#endif // CSVREADER_H
