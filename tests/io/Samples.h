#pragma once

#include "io/Record.h"

#include <QFile>
#include <QString>
#include <QTemporaryFile>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

/// The bytes of a sample file under tests/io/samples (empty when missing).
inline QByteArray sampleBytes(const QString &name) {
    QFile file(QStringLiteral(SAMPLES_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// `size` bytes that cost no memory: a sparse file mapped and never
/// touched by a reader that refuses it for its size (valid for the whole test).
inline QByteArray untouchedBytes(qsizetype size) {
    static std::vector<std::unique_ptr<QTemporaryFile>> files;
    files.push_back(std::make_unique<QTemporaryFile>());
    QTemporaryFile &file = *files.back();
    if (!file.open() || !file.resize(size))
        return {};
    const uchar *bytes = file.map(0, size);
    return bytes ? QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), size)
                 : QByteArray();
}

// A data table of values the samples must give: file, record, column, expected.
// NAZEV_FIRMA, the seat columns (_FS) and columns written "FIRMA.X" are the company's.
inline void addSampleValueColumns() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");
}
inline void addSampleValue(const char *file, int record, const char *column,
                           const QString &expected) {
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
