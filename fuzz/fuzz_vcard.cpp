// The vCard reader and the contact file decoder over any bytes: never a
// crash, a hang or a throw; faults come back as errors.
#include "ContactFiles.h"
#include "FuzzSupport.h"
#include "VCardReader.h"

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
    io::decodeFile(input);
    return 0;
}
