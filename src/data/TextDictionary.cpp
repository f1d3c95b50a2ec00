#include "data/TextDictionary.h"

#include <QHash>

namespace data {

static_assert(1 << (TextDictionary::kNumberBits - 2) >= 1 << 20, "a part holds a million texts");
static_assert(TextDictionary::kParts <= 4, "the part takes the number's two top bits");

TextDictionary::TextDictionary(int part) : m_part(part) {
    Q_ASSERT(part >= 0 && part < kParts);
}

QByteArrayView TextDictionary::Part::at(size_t index) const {
    const quint32 start = index == 0 ? 0 : ends[index - 1];
    return QByteArrayView(texts).sliced(start, ends[index] - start);
}

size_t TextDictionary::Part::bucketOf(QByteArrayView text) const {
    const size_t mask = buckets.size() - 1;
    for (size_t bucket = qHash(text) & mask;; bucket = (bucket + 1) & mask)
        if (buckets[bucket] == 0 || at(buckets[bucket] - 1) == text)
            return bucket;
}

void TextDictionary::Part::grow() {
    buckets.assign(qMax<size_t>(64, buckets.size() * 2), 0);
    for (size_t index = 0; index < ends.size(); ++index)
        buckets[bucketOf(at(index))] = quint32(index + 1);
}

std::optional<quint32> TextDictionary::numberOf(QByteArrayView text) {
    Part &part = m_parts[size_t(m_part)];
    if (m_last && part.at(*m_last) == text)
        return quint32(m_part) << kPartShift | *m_last;
    // At most half full, so that a search ends soon at a free bucket.
    if (2 * (part.ends.size() + 1) > part.buckets.size())
        part.grow();
    const size_t bucket = part.bucketOf(text);
    if (part.buckets[bucket] == 0) {
        if (part.ends.size() + 1 >= (size_t(1) << kPartShift))
            return std::nullopt;
        part.texts.append(text);
        part.ends.push_back(quint32(part.texts.size()));
        part.buckets[bucket] = quint32(part.ends.size());
    }
    m_last = part.buckets[bucket] - 1;
    return quint32(m_part) << kPartShift | *m_last;
}

QByteArrayView TextDictionary::text(quint32 number) const {
    return m_parts[number >> kPartShift].at(number & ((quint32(1) << kPartShift) - 1));
}

void TextDictionary::adopt(TextDictionary &&other) {
    for (size_t part = 0; part < m_parts.size(); ++part)
        if (!other.m_parts[part].ends.empty()) {
            Q_ASSERT(m_parts[part].ends.empty());
            m_parts[part] = std::move(other.m_parts[part]);
        }
}

} // namespace data
