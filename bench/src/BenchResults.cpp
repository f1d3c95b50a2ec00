#include "BenchResults.h"

#include "BenchStats.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSysInfo>
#include <QThread>

namespace bench {
namespace {

QString number(double value, const QString &unit) {
    const int decimals = unit == QLatin1String("x") ? 2 : (value < 10 ? 1 : 0);
    return QString::number(value, 'f', decimals);
}

QString firstLineWith(const QString &path, const QByteArray &prefix) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(prefix))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return {};
}

} // namespace

QString Figure::verdict() const {
    if (!target)
        return {};
    return value <= *target ? QStringLiteral("ok") : QStringLiteral("MISS");
}

QString Results::table() const {
    QString out =
        QStringLiteral("| data (companies/contacts) | scenario | figure | value | target | "
                       "verdict | note |\n|---|---|---|---:|---:|---|---|\n");
    for (const Figure &f : m_figures) {
        const QString target =
            f.target ? QStringLiteral("≤ %1 %2").arg(number(*f.target, f.unit), f.unit) : QString();
        out += QStringLiteral("| %1 | %2 | %3 | %4 %5 | %6 | %7 | %8 |\n")
                   .arg(f.dataset, f.scenario, f.metric, number(f.value, f.unit), f.unit, target,
                        f.verdict(), f.note);
    }
    for (const QString &note : m_notes)
        out += QStringLiteral("\n- ") + note;
    if (!m_notes.isEmpty())
        out += QLatin1Char('\n');
    return out;
}

void Results::print(std::FILE *out) const {
    std::fputs(table().toUtf8().constData(), out);
    std::fflush(out);
}

bool Results::writeJson(const QString &path) const {
    QJsonArray figures;
    for (const Figure &f : m_figures) {
        QJsonObject o{{QStringLiteral("dataset"), f.dataset},
                      {QStringLiteral("scenario"), f.scenario},
                      {QStringLiteral("metric"), f.metric},
                      {QStringLiteral("value"), f.value},
                      {QStringLiteral("unit"), f.unit}};
        if (f.target) {
            o.insert(QStringLiteral("target"), *f.target);
            o.insert(QStringLiteral("verdict"), f.verdict());
        }
        if (!f.note.isEmpty())
            o.insert(QStringLiteral("note"), f.note);
        figures.append(o);
    }
    const QJsonObject root{{QStringLiteral("machine"), m_machine},
                           {QStringLiteral("figures"), figures},
                           {QStringLiteral("notes"), QJsonArray::fromStringList(m_notes)}};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(QJsonDocument(root).toJson()) > 0;
}

QString spread(const std::vector<double> &samples) {
    const Summary s = summarize(samples);
    return QStringLiteral("%1 samples, min %2, max %3 ms")
        .arg(s.count)
        .arg(s.min, 0, 'f', 1)
        .arg(s.max, 0, 'f', 1);
}

QJsonObject describeMachine() {
    QJsonObject m;
    m.insert(QStringLiteral("date"), QDateTime::currentDateTime().toString(Qt::ISODate));
    m.insert(QStringLiteral("cores"), QThread::idealThreadCount());
    m.insert(QStringLiteral("cpu"), firstLineWith(QStringLiteral("/proc/cpuinfo"), "model name"));
    m.insert(QStringLiteral("memory"), firstLineWith(QStringLiteral("/proc/meminfo"), "MemTotal"));
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        m.insert(QStringLiteral("load average at start"),
                 QString::fromLatin1(load.readAll().split(' ').mid(0, 3).join(' ')));
    m.insert(QStringLiteral("os"), QSysInfo::prettyProductName());
    m.insert(QStringLiteral("kernel"), QSysInfo::kernelVersion());
    m.insert(QStringLiteral("qt"), QString::fromLatin1(qVersion()));
    return m;
}

} // namespace bench
