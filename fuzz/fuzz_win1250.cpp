// The Windows-1250 codec at the database boundary: every byte string
// decodes, and what decodes encodes back to the same bytes; any text either
// encodes or names a character it cannot hold.
#include "FuzzSupport.h"
#include "base/Win1250.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const QString decoded = base::win1250::decode(input);
    // Five byte values are unassigned in the code page: they read as U+FFFD,
    // which cannot be written back. Every other byte round-trips.
    bool unassigned = false;
    for (const char b : input)
        unassigned |= base::win1250::decodeByte(uchar(b)) == QChar(0xFFFD);
    QByteArray again;
    const bool encoded = base::win1250::encode(decoded, again);
    if (encoded == unassigned || (encoded && again != input))
        std::abort(); // the round trip lost or changed a byte

    const QString text = fuzz::text(data, size);
    QByteArray out;
    QChar bad;
    const bool written = base::win1250::encode(text, out, &bad);
    if (written != base::win1250::canEncode(text) ||
        (!written && base::win1250::encodeChar(bad) >= 0))
        std::abort(); // a refusal must name a character that really cannot be held
    if (written && base::win1250::decode(out) != text)
        std::abort();
    return 0;
}
