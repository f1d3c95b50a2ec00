#pragma once

#include "initdb/CompanyData.h"

#include <QHash>

#include <iterator>
#include <random>
#include <vector>

namespace initdb {

/// Makes realistic Czech companies and contact persons for benchmarks. The
/// same counts and seed give the same rows on every run: the generator draws
/// only from its own std::mt19937.
///
/// About a tenth of the companies have no contact persons (they get only
/// their placeholder row); when there are enough contacts, up to three
/// companies get over 1,000 each; the rest are spread at random so that
/// every other company has at least one.
class Generator {
  public:
    static constexpr quint32 kDefaultSeed = 20080204;

    /// `companies` and `contacts` must not be negative, and contacts need at
    /// least one company; otherwise no rows are made.
    Generator(int companies, int contacts, quint32 seed = kDefaultSeed);

    bool atEnd() const { return m_next >= int(m_staff.size()); }
    /// The next company with its contacts. Must not be called at the end.
    CompanyData next();

    /// Contact persons planned for each company, in order.
    const std::vector<int> &contactsPerCompany() const { return m_staff; }

  private:
    int pick(int n); ///< 0 .. n-1, the same on every standard library
    bool chance(int percent) { return pick(100) < percent; }
    template <typename List> const auto &any(const List &list) {
        return list[pick(int(std::size(list)))];
    }

    void planStaff(int companies, int contacts);
    ContactData makeContact(const QString &domain);
    QString digits(int count);
    QString mobile();

    std::mt19937 m_rng;
    std::vector<int> m_staff;
    int m_next = 0;
    QHash<QString, QString> m_nameDayOf; ///< first name -> "d.m."
};

} // namespace initdb
