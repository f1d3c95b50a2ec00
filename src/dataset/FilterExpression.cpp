#include "dataset/FilterExpression.h"

#include "db/DbError.h"

#include <QStringList>

namespace dataset {

struct FilterExpression::Node {
    enum Kind { And, Or, Not, Compare } kind = Compare;
    std::unique_ptr<Node> left, right;
    QString column;
    QString op;
    QString literal;
    bool literalIsNumber = false;
};

namespace {

using Node = FilterExpression::Node;

class Parser {
  public:
    explicit Parser(const QString &text) : m_text(text) {}

    std::unique_ptr<Node> parse() {
        auto node = parseOr();
        skipBlanks();
        if (m_pos != m_text.size())
            fail(QStringLiteral("unexpected '%1'").arg(m_text.mid(m_pos, 10)));
        return node;
    }

  private:
    [[noreturn]] void fail(const QString &why) const {
        throw db::DbError(QStringLiteral("Invalid filter expression \"%1\": %2").arg(m_text, why));
    }
    void skipBlanks() {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }
    bool keyword(const char *word) {
        skipBlanks();
        const QString w = QString::fromLatin1(word);
        if (m_text.mid(m_pos, w.size()).compare(w, Qt::CaseInsensitive) != 0)
            return false;
        const int end = m_pos + w.size();
        if (end < m_text.size() &&
            (m_text.at(end).isLetterOrNumber() || m_text.at(end) == QLatin1Char('_')))
            return false;
        m_pos = end;
        return true;
    }
    std::unique_ptr<Node> combine(Node::Kind kind, std::unique_ptr<Node> l,
                                  std::unique_ptr<Node> r) {
        // Parsing, evaluating and freeing all recurse over the tree: a tree
        // past any sensible filter is refused before it can exhaust the stack.
        if (++m_nodes > kMaxNodes)
            fail(QStringLiteral("more than %1 conditions").arg(kMaxNodes));
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }
    std::unique_ptr<Node> parseOr() {
        auto node = parseAnd();
        while (keyword("or"))
            node = combine(Node::Or, std::move(node), parseAnd());
        return node;
    }
    std::unique_ptr<Node> parseAnd() {
        auto node = parseUnary();
        while (keyword("and"))
            node = combine(Node::And, std::move(node), parseUnary());
        return node;
    }
    std::unique_ptr<Node> parseUnary() {
        if (++m_depth > kMaxDepth)
            fail(QStringLiteral("nested more than %1 levels deep").arg(kMaxDepth));
        auto node = parseUnaryAtDepth();
        --m_depth;
        return node;
    }
    std::unique_ptr<Node> parseUnaryAtDepth() {
        if (keyword("not"))
            return combine(Node::Not, parseUnary(), nullptr);
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('(')) {
            ++m_pos;
            auto node = parseOr();
            skipBlanks();
            if (m_pos >= m_text.size() || m_text.at(m_pos) != QLatin1Char(')'))
                fail(QStringLiteral("missing ')'"));
            ++m_pos;
            return node;
        }
        return parseComparison();
    }
    std::unique_ptr<Node> parseComparison() {
        auto node = std::make_unique<Node>();
        skipBlanks();
        const int start = m_pos;
        while (m_pos < m_text.size() &&
               (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == QLatin1Char('_')))
            ++m_pos;
        node->column = m_text.mid(start, m_pos - start);
        if (node->column.isEmpty() || node->column.at(0).isDigit())
            fail(QStringLiteral("a column name is expected"));
        skipBlanks();
        static const QStringList ops{
            QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("!="),
            QStringLiteral("="),  QStringLiteral("<"),  QStringLiteral(">")};
        for (const QString &op : ops) {
            if (m_text.mid(m_pos, op.size()) == op) {
                node->op = op == QLatin1String("!=") ? QStringLiteral("<>") : op;
                m_pos += op.size();
                break;
            }
        }
        if (node->op.isEmpty())
            fail(QStringLiteral("a comparison operator is expected after %1").arg(node->column));
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\'')) {
            ++m_pos;
            for (;;) {
                if (m_pos >= m_text.size())
                    fail(QStringLiteral("unterminated text"));
                if (m_text.at(m_pos) == QLatin1Char('\'')) {
                    if (m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == QLatin1Char('\'')) {
                        node->literal += QLatin1Char('\'');
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                node->literal += m_text.at(m_pos++);
            }
        } else {
            const int from = m_pos;
            if (m_pos < m_text.size() &&
                (m_text.at(m_pos) == QLatin1Char('-') || m_text.at(m_pos) == QLatin1Char('+')))
                ++m_pos;
            while (m_pos < m_text.size() && m_text.at(m_pos).isDigit())
                ++m_pos;
            node->literal = m_text.mid(from, m_pos - from);
            bool ok = false;
            node->literal.toLongLong(&ok);
            if (!ok)
                fail(QStringLiteral("a number or a quoted text is expected"));
            node->literalIsNumber = true;
        }
        return node;
    }

    static constexpr int kMaxDepth = 100;
    static constexpr int kMaxNodes = 1000;
    const QString &m_text;
    int m_pos = 0;
    int m_depth = 0;
    int m_nodes = 0;
};

bool compare(int order, const QString &op) {
    if (op == QLatin1String("="))
        return order == 0;
    if (op == QLatin1String("<>"))
        return order != 0;
    if (op == QLatin1String("<"))
        return order < 0;
    if (op == QLatin1String(">"))
        return order > 0;
    if (op == QLatin1String("<="))
        return order <= 0;
    return order >= 0;
}

bool evaluate(const Node &n, const FilterExpression::ColumnReader &read) {
    switch (n.kind) {
    case Node::And:
        return evaluate(*n.left, read) && evaluate(*n.right, read);
    case Node::Or:
        return evaluate(*n.left, read) || evaluate(*n.right, read);
    case Node::Not:
        return !evaluate(*n.left, read);
    case Node::Compare:
        break;
    }
    bool numeric = false;
    bool found = false;
    const QString value = read(n.column, &numeric, &found);
    if (!found)
        throw db::DbError(QStringLiteral("Field '%1' not found").arg(n.column));
    if (numeric || n.literalIsNumber) {
        bool okValue = false;
        bool okLiteral = false;
        const qint64 a = value.isEmpty() ? 0 : value.toLongLong(&okValue);
        const qint64 b = n.literal.toLongLong(&okLiteral);
        if ((okValue || value.isEmpty()) && okLiteral)
            return compare(a < b ? -1 : (a > b ? 1 : 0), n.op);
    }
    return compare(value.compare(n.literal), n.op);
}

void collect(const Node *n, QStringList &out) {
    if (!n)
        return;
    if (n->kind == Node::Compare)
        out << n->column;
    collect(n->left.get(), out);
    collect(n->right.get(), out);
}

} // namespace

FilterExpression::FilterExpression(const QString &text) : m_root(Parser(text).parse()) {
}
FilterExpression::~FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression &&) noexcept = default;
FilterExpression &FilterExpression::operator=(FilterExpression &&) noexcept = default;

QStringList FilterExpression::columns() const {
    QStringList out;
    collect(m_root.get(), out);
    return out;
}

bool FilterExpression::matches(const ColumnReader &read) const {
    return evaluate(*m_root, read);
}

} // namespace dataset
