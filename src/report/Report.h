#pragma once

#include "report/PreparedReport.h"
#include "report/ReportSettings.h"
#include "report/RichText.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace report {

/// A report element that shows RTF. It is as wide as its band unless given a width,
/// and grows with its content; the design height is the least room it takes.
class RichTextElement {
  public:
    explicit RichTextElement(const QString &name) : m_name(name) {}

    const QString &name() const { return m_name; }

    /// Replaces the content with `rtf`; unreadable parts are skipped.
    void setRtf(const QByteArray &rtf);
    const QByteArray &rtf() const { return m_rtf; }
    /// The content as paragraphs.
    const RichDocument &document() const { return m_document; }

    /// The font of text that has no formatting of its own.
    void setFont(const QString &family, qreal sizePt);
    const RichFormat &defaultFormat() const { return m_defaults; }

    /// Offset from the band's left edge and width (0: to the band's right edge), points.
    void setHorizontalGeometry(qreal leftPt, qreal widthPt);
    qreal left() const { return m_left; }
    qreal width() const { return m_width; }
    void setDesignHeight(qreal heightPt) { m_designHeight = heightPt; }
    qreal designHeight() const { return m_designHeight; }

  private:
    QString m_name;
    QByteArray m_rtf;
    RichDocument m_document;
    RichFormat m_defaults;
    qreal m_left = 0;
    qreal m_width = 0;
    qreal m_designHeight = 0;
};

/// A band printed once at the start of the report, holding one rich-text element.
class ReportBand {
  public:
    ReportBand(const QString &name, const QString &elementName)
        : m_name(name), m_element(elementName) {}

    const QString &name() const { return m_name; }
    RichTextElement &richText() { return m_element; }
    const RichTextElement &richText() const { return m_element; }

  private:
    QString m_name;
    RichTextElement m_element;
};

/// A report definition: page settings and title bands, laid out one below the other,
/// each continuing over as many pages as it needs.
class Report {
  public:
    explicit Report(const QString &name);
    ~Report();

    const QString &name() const { return m_name; }
    ReportSettings &settings() { return m_settings; }
    const ReportSettings &settings() const { return m_settings; }

    /// Adds a title band whose rich-text element is called `elementName`; the report
    /// owns it. The element takes the report font for text without formatting.
    ReportBand &addTitleBand(const QString &name, const QString &elementName);
    int bandCount() const { return int(m_bands.size()); }
    ReportBand &band(int index) { return *m_bands.at(index); }

    /// Lays the bands out onto pages and keeps the result (prepared()).
    const PreparedReport &prepare();
    const PreparedReport &prepared() const { return m_prepared; }

    /// The printer for this report, set up from the settings on first use; afterwards it
    /// keeps what the user chose in the printer set-up. Owned by the report.
    QPrinter &printer();

    /// Prepares the pages, opens the preview maximised at whole-page zoom on page 1 and
    /// returns when it has been closed.
    void preview(QWidget *parent = nullptr);

  private:
    QString m_name;
    ReportSettings m_settings;
    std::vector<std::unique_ptr<ReportBand>> m_bands;
    std::unique_ptr<QPrinter> m_printer;
    PreparedReport m_prepared;
};

/// Lays out `rtf` as the one element of a report with `settings`: the engine's whole
/// path from RTF to pages, for measuring.
PreparedReport prepareRtf(const QByteArray &rtf, const ReportSettings &settings = {});

} // namespace report
