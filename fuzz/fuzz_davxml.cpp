// The reader of a server's multi-status answers over any bytes: never a
// crash, a hang or a throw; what is not an answer comes back as an error.
#include "FuzzSupport.h"
#include "sync/DavXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const cardsync::davxml::MultiStatus result =
        cardsync::davxml::parseMultiStatus(fuzz::bytes(data, size));
    for (const cardsync::davxml::Resource &r : result.resources)
        cardsync::davxml::statusCode(r.href);
    return 0;
}
