#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>
#include <vector>

namespace data {

/// Texts kept once each and known by a number: the domains of a register's
/// e-mail addresses, which its contacts share (those of a company, and the
/// large mail providers across the register). The numbers are given in
/// parts, one per attachment reading a share of the register, so that
/// readers on two threads need not agree on them: a part adopted from
/// another dictionary keeps its numbers.
class TextDictionary {
  public:
    static constexpr int kParts = 4;
    /// A number with its part fits in three bytes.
    static constexpr int kNumberBits = 24;

    explicit TextDictionary(int part = 0);
    /// The number of `text` in this dictionary's own part, added when new;
    /// none when the part is full.
    std::optional<quint32> numberOf(QByteArrayView text);
    QByteArrayView text(quint32 number) const;
    /// Takes over the parts `other` holds; their numbers stay valid here.
    void adopt(TextDictionary &&other);

  private:
    static constexpr int kPartShift = kNumberBits - 2;
    struct Part {
        QByteArray texts;          // end to end
        std::vector<quint32> ends; // of each text in `texts`
        // Open addressing by the texts' hash: 0 free, else a text's index + 1.
        std::vector<quint32> buckets;
        QByteArrayView at(size_t index) const;
        size_t bucketOf(QByteArrayView text) const;
        void grow();
    };
    int m_part;
    std::array<Part, kParts> m_parts;
    // The text asked for last, in the own part: a company's contacts come
    // one after another and mostly share their domain.
    std::optional<quint32> m_last;
};

} // namespace data
