// The CSV reader and the contact file decoder over any bytes: never a
// crash, a hang or a throw; faults come back as errors.
#include "FuzzSupport.h"
#include "PiecesCheck.h"
#include "io/ContactFiles.h"
#include "io/Csv.h"
#include "io/ImportPlan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const io::CsvTable table = io::parseCsv(input);
    for (const QStringList &row : table.rows)
        if (row.size() != table.header.size())
            std::abort(); // rows are as long as the header
    // Read whole and in pieces alike, then planned: transliteration, company
    // matching, duplicate hashes.
    io::planImport(fuzz::decodeInPiecesToo(input).entries, {});
    return 0;
}
