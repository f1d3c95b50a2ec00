#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace dataset {

/// A record filter evaluated in memory: comparisons of a column with a
/// literal (=, <>, <, >, <=, >=), joined by AND, OR, NOT and parentheses,
/// for example "id_firma=5" or "kraj<>'***'". Column names are matched
/// without regard to case. A NULL column compares as the empty text or 0.
class FilterExpression {
  public:
    /// Column value of the row being tested: text or integer (as text).
    using ColumnReader =
        std::function<QString(const QString &column, bool *isNumeric, bool *found)>;

    /// Parses `text`; throws DbError("Invalid filter expression ...") when malformed.
    explicit FilterExpression(const QString &text);
    ~FilterExpression();
    FilterExpression(FilterExpression &&) noexcept;
    FilterExpression &operator=(FilterExpression &&) noexcept;

    /// The column names the expression refers to.
    QStringList columns() const;
    /// Evaluates the expression for one row.
    bool matches(const ColumnReader &read) const;

    struct Node;

  private:
    std::unique_ptr<Node> m_root;
};

} // namespace dataset
