// The saved-report loader. The input is tried as a whole file and, to get
// past the checksum, as the body of a file whose envelope is made sound here.
#include "FuzzSupport.h"
#include "report/ReportFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::ensureApplication();
    const QByteArray input = fuzz::bytes(data, size);
    QString error;
    (void)report::ReportFile::deserialize(input, &error);

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.writeRawData("VZREPORT", 8);
    out << report::ReportFile::kVersion << quint16(0) << quint64(input.size());
    file += input;
    file += QCryptographicHash::hash(input, QCryptographicHash::Sha256);
    (void)report::ReportFile::deserialize(file, &error);
    return 0;
}
