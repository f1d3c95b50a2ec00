#pragma once

#include <QString>

#include <vector>

class TDM;
class TfmReporty;

namespace bench {

/// The company that has the most KONTAKT rows, and how many.
struct BusiestCompany {
    int id = 0;
    int contacts = 0;
};
BusiestCompany findBusiestCompany(TDM &dm);

/// One print request without the modal preview: locate the company, compose
/// the card, copy it into the report as RTF, lay the report out and paint
/// page 1 into an A4 image at 96 dpi. Times in milliseconds.
struct CardTiming {
    double compose = 0; ///< locate in tFIRMA and CompanyCard::compose
    double rtf = 0;     ///< copyCardToReport: RTF written and read back
    double layout = 0;  ///< prepare: pages laid out
    double paint = 0;   ///< page 1 painted
    int pages = 0;
    int paragraphs = 0;
    double total() const { return compose + rtf + layout + paint; }
};
CardTiming timeCompanyCard(TDM &dm, TfmReporty &printForm, int companyId);

} // namespace bench
