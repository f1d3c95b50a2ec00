#pragma once

#include "report/RichText.h"

#include <QList>
#include <QSizeF>
#include <QString>

namespace report {

/// A piece of one line drawn in one format; positions are in points from the paper's
/// top left corner.
struct TextFragment {
    qreal x = 0;
    qreal width = 0;
    QString text;
    int format = 0; // index into PreparedReport::formats
    bool operator==(const TextFragment &) const = default;
};

/// One laid-out line of text.
struct PageLine {
    qreal top = 0;
    qreal height = 0;
    qreal ascent = 0;
    QString text; // the whole line as the reader sees it (searching, copying)
    QList<TextFragment> fragments;

    qreal baseline() const { return top + ascent; }
    bool operator==(const PageLine &) const = default;
};

struct PreparedPage {
    QList<PageLine> lines;
    bool operator==(const PreparedPage &) const = default;
};

/// The finished pages of a report, independent of any device: the preview, printing,
/// PDF export and saved-report files all work from this.
struct PreparedReport {
    QSizeF pageSizePt;
    QList<RichFormat> formats;
    QList<PreparedPage> pages;

    int pageCount() const { return int(pages.size()); }
    bool operator==(const PreparedReport &) const = default;
};

struct SearchHit {
    int page = 0; // zero-based
    int line = 0;
    bool operator==(const SearchHit &) const = default;
};

/// Every line of `report` that contains `text`, in page order.
QList<SearchHit> findText(const PreparedReport &report, const QString &text,
                          Qt::CaseSensitivity cs);

} // namespace report
