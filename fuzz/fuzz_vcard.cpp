// The vCard reader and the contact file decoder over any bytes: never a
// crash, a hang or a throw; faults come back as errors.
#include "FuzzSupport.h"
#include "PiecesCheck.h"
#include "io/ContactFiles.h"
#include "io/ImportPlan.h"
#include "io/VCardReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const io::VCardParseResult result = io::parseVCards(input);
    for (const io::VCard &card : result.cards) {
        card.find(QStringLiteral("N"));
        for (const io::VCardProperty &property : card.properties) {
            property.text();
            property.components();
        }
    }
    // Read whole and in pieces alike, then planned: transliteration, company
    // matching, duplicate hashes.
    io::planImport(fuzz::decodeInPiecesToo(input).entries, {});
    return 0;
}
