#pragma once

#include "initdb/CompanyData.h"

namespace initdb {

/// About a dozen realistic Czech companies with their contact persons:
/// titles, means of contact, addresses and notes of several lines. One
/// company has no contact persons (it gets only its placeholder).
QList<CompanyData> demoCompanies();

/// The few rows that databases of the older layouts came with, among them
/// the sample contact "Miloran" "Drobeček". Every company has contacts.
QList<CompanyData> sampleCompanies();

} // namespace initdb
