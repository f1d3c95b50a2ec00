#pragma once

#include "Record.h"

#include <QFile>
#include <QString>
#include <QTest>

#include <functional>

/// The bytes of a sample file under tests/io/samples (empty when missing).
inline QByteArray sampleBytes(const QString &name) {
    QFile file(QStringLiteral(SAMPLES_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A data table of values the samples must give: file, record, column, expected.
// NAZEV_FIRMA, the seat columns (_FS) and columns written "FIRMA.X" are the company's.
inline void addSampleValueColumns() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");
}
inline void addSampleValue(const char *file, int record, const char *column, const QString &expected) {
    QTest::addRow("%s #%d %s", file, record, column)
        << QString::fromLatin1(file) << record << QString::fromLatin1(column) << expected;
}
/// Checks the current row of that table against the entries `read` gives for the file.
inline void checkSampleValue(const std::function<QList<io::Entry>(const QString &)> &read) {
    QFETCH(QString, file);
    QFETCH(int, record);
    QFETCH(QString, column);
    QFETCH(QString, expected);
    const QList<io::Entry> entries = read(file);
    QVERIFY(record < entries.size());
    const io::Entry &e = entries[record];
    if (column.startsWith(QLatin1String("FIRMA.")))
        QCOMPARE(e.company.value(column.mid(6)), expected);
    else if (column == QLatin1String("NAZEV_FIRMA") || column.endsWith(QLatin1String("_FS")))
        QCOMPARE(e.company.value(column), expected);
    else
        QCOMPARE(e.contact.value(column), expected);
}
