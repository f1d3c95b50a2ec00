#pragma once

#include <QFile>
#include <QString>

/// The bytes of a sample file under tests/io/samples (empty when missing).
inline QByteArray sampleBytes(const QString &name) {
    QFile file(QStringLiteral(SAMPLES_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
