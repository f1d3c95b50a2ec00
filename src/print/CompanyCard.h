#pragma once

#include <QString>

namespace dataset {
class Dataset;
} // namespace dataset
class TDM;
class TfmReporty;
class QWidget;

namespace print {

class CardDocument;

/// Composes the card of one company and hands it to the print preview.
/// The company's own data comes from the current row of tFIRMA; `companyId`
/// selects its contacts. Errors of the data layer end the composition and
/// propagate; the preview is then not shown.
class CompanyCard {
  public:
    CompanyCard(TDM &dm, CardDocument &document) : m_dm(dm), m_doc(document) {}

    /// Builds the paragraph list: company data, then every real contact.
    void compose(int companyId);
    /// Appends the block of the contact person at `contact`'s current row
    /// (every column of KONTAKT); nothing for a placeholder.
    void addContactBlock(const dataset::Dataset &contact);
    /// A contact's name as the card prints it, "Ing. Jan Novák, CSc.": the
    /// present parts separated by blanks, the titles after the name behind a
    /// comma; an empty part leaves no trace.
    static QString nameHeading(const QString &titleBefore, const QString &firstName,
                               const QString &surname, const QString &titleAfter);

  private:
    void addCompanyAddress(const char *heading, const char *suffix);
    void addMeansOfContact(const dataset::Dataset &source);
    /// Appends "one + joiner + two" when either column is not empty.
    void addPairLine(const QString &templateOne, const QString &one, const QString &joiner,
                     const QString &templateTwo, const QString &two);

    TDM &m_dm;
    CardDocument &m_doc;
};

/// The print command's work: compose the card into the print form's buffer,
/// copy it into the report and show the preview; returns when it is closed.
void buildCompanyCard(TDM &dm, TfmReporty &printForm, int companyId, QWidget *parent = nullptr);

} // namespace print
