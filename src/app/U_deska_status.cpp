// Placeholder until the status bar lands.
#include "U_deska.h"

#include <QLabel>
#include <QStatusBar>

void Tfm_Deska::createStatusBar() {
    stbP1 = new QLabel(this);
    statusBar()->addWidget(stbP1);
}
QString Tfm_Deska::composeNameDayLine() { return QString(); }
void Tfm_Deska::stbP4Click() {}
void Tfm_Deska::stbP4MouseEnter() {}
void Tfm_Deska::stbP4MouseLeave() {}
void Tfm_Deska::stbP2Click() {}
QString Tfm_Deska::composeMailto(const QString &) { return QString(); }
QString Tfm_Deska::makerWebAddress() { return QStringLiteral("https://www.qorvel.cz"); }
