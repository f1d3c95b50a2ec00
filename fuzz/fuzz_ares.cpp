// The register's answer reader on any bytes: it never crashes, says either
// a record or a reason, and what it gives the boxes is one line each, with
// a name always and an address only from a seat.
#include "FuzzSupport.h"
#include "ares/AresAnswer.h"

#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

bool oneTrimmedLine(const QString &text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return false;
    return text == text.trimmed() && !text.contains(QLatin1String("  "));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray json = fuzz::bytes(data, size);
    const ares::AnswerReading reading = ares::readCompany(json);
    const ares::CompanyRecord &r = reading.record;
    if (!reading.isValid()) {
        require(r == ares::CompanyRecord{});
        return 0;
    }
    require(!r.name.isEmpty());
    for (const QString *text :
         {&r.name, &r.dic, &r.street, &r.district, &r.town, &r.postcode, &r.country})
        require(oneTrimmedLine(*text));
    if (!r.hasSeat)
        require((r.street + r.district + r.town + r.postcode + r.country).isEmpty());
    require(ares::readCompany(json).record == r);
    return 0;
}
