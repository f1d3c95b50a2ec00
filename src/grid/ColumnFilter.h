#pragma once

#include <QString>

namespace grid {

/// The test of one filter-bar value against a field's text.
///
/// A value containing "*" loses its first "*" and is always matched as
/// text. What remains empty lets every row pass. Without "*", a numeric
/// field must equal the value exactly. Otherwise the folded value must occur
/// anywhere in the folded field text.
class ColumnFilter {
  public:
    explicit ColumnFilter(const QString &value);

    bool isEmpty() const { return m_value.isEmpty(); }
    bool passes(const QString &fieldText, bool numericField) const;

    /// Folds letters one by one: a-z to A-Z, á é í ó ú (either case) to
    /// A E I O U, and č ě ń ř š ý ž to their capitals; every other
    /// character (ů, ď, ť and ň among them) stays as it is.
    static QString fold(const QString &text);

  private:
    QString m_value; // the value without its first "*"
    QString m_folded;
    bool m_star = false;
};

} // namespace grid
