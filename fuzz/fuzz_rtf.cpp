// The RTF reader over any bytes: it must never fail, hang or touch memory
// it does not own.
#include "FuzzSupport.h"
#include "report/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::ensureApplication();
    const report::RichDocument document = report::RtfReader::read(fuzz::bytes(data, size));
    (void)document;
    return 0;
}
