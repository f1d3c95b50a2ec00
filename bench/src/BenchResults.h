#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstdio>
#include <optional>
#include <vector>

namespace bench {

/// One measured figure and the goal it is held against.
struct Figure {
    QString dataset;  ///< such as "10000/50000" (companies/contacts)
    QString scenario; ///< keystroke, fetch, start-up, memory, card
    QString metric;   ///< what was measured, such as "median"
    double value = 0;
    QString unit;                 ///< ms, MB, x
    std::optional<double> target; ///< the value must not exceed it
    QString note;

    /// "ok", "MISS", or "" when there is no target.
    QString verdict() const;
};

/// Collects figures and writes them as a table and as JSON.
class Results {
  public:
    void add(Figure figure) { m_figures.append(std::move(figure)); }
    /// A remark about the run as a whole (printed under the table).
    void addNote(const QString &note) { m_notes.append(note); }
    const QList<Figure> &figures() const { return m_figures; }

    void setMachine(QJsonObject machine) { m_machine = std::move(machine); }
    const QJsonObject &machine() const { return m_machine; }

    /// A Markdown table, one row per figure.
    QString table() const;
    void print(std::FILE *out) const;
    /// Returns false when the file cannot be written.
    bool writeJson(const QString &path) const;

  private:
    QList<Figure> m_figures;
    QStringList m_notes;
    QJsonObject m_machine;
};

/// "N samples, min A, max B ms" for a note.
QString spread(const std::vector<double> &samples);

/// What the machine is: cores, CPU model, memory, load, library versions.
QJsonObject describeMachine();

} // namespace bench
