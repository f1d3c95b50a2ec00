#include "report/PreparedReport.h"

namespace report {

QList<SearchHit> findText(const PreparedReport &report, const QString &text,
                          Qt::CaseSensitivity cs) {
    QList<SearchHit> hits;
    if (text.isEmpty())
        return hits;
    for (int p = 0; p < report.pages.size(); ++p) {
        const QList<PageLine> &lines = report.pages[p].lines;
        for (int l = 0; l < lines.size(); ++l)
            if (lines[l].text.contains(text, cs))
                hits.append({p, l});
    }
    return hits;
}

} // namespace report
