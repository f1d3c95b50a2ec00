#pragma once

// The company form over companies 1 to 3, and the contact form it opens.
#include "support/FormFixture.h"

#include "forms/DbNavigator.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"

#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

/// Company 1 "Alfa" with an ordinary contact, company 2 "Beta" with only
/// its placeholder contact, company 3 "Gama" with no contact row.
struct Companies {
    DataFixture db;
    base::msg::Recorder messages;
    std::unique_ptr<TFM_Kontakt> contactForm;
    std::unique_ptr<Tfm_Firma> form;

    explicit Companies(bool withRows = true, int furtherCompanies = 0) {
        for (int id = 4; id < 4 + furtherCompanies; ++id)
            addCompany(db, id, QStringLiteral("Další %1").arg(id));
        if (withRows) {
            addCompany(db, 1, QStringLiteral("Alfa"));
            addCompany(db, 2, QStringLiteral("Beta"));
            addCompany(db, 3, QStringLiteral("Gama"));
            addContact(db, 1, 1, QStringLiteral("Jana"), QStringLiteral("Malá"));
            addContact(db, 2, 2, QString(), QString(), QStringLiteral("***"));
        }
        db.openAll();
        contactForm = std::make_unique<TFM_Kontakt>(*db.dm);
        form = std::make_unique<Tfm_Firma>(*db.dm, *contactForm);
    }
    TDM &dm() { return *db.dm; }
    int contactsOf(int company) {
        return db
            .scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT WHERE ID_FIRMA = %1").arg(company))
            .toInt();
    }
    int count(const char *table) {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
            .toInt();
    }
    QVariant company(const QString &column, int id) {
        return db.scalar(QStringLiteral("SELECT %1 FROM FIRMA WHERE ID = %2").arg(column).arg(id));
    }
    bool goTo(int companyId) {
        form->ui().DBNavi->button(forms::DbNavigator::First)->click();
        while (dm().tFIRMA.fieldByName("ID")->asInteger() != companyId) {
            const qint64 before = dm().tFIRMA.fieldByName("ID")->asInteger();
            form->ui().DBNavi->button(forms::DbNavigator::Next)->click();
            if (dm().tFIRMA.fieldByName("ID")->asInteger() == before)
                return false;
        }
        return true;
    }
    /// Runs `act` inside the contact form once it is shown modally; the
    /// form is closed afterwards in any case. Returns whether it was shown.
    /// Company 1 with a second contact person, Adámek, shown on its
    /// contact-persons tab.
    bool showContactPersons() {
        addContact(db, 3, 1, QStringLiteral("Karel"), QStringLiteral("Adámek"));
        dm().tKONTAKT.refresh();
        if (!showActive(*form))
            return false;
        form->ui().pcFirma->setCurrentIndex(4);
        return true;
    }
    std::function<bool()> actInContactForm(std::function<void(TFM_Kontakt &)> act) {
        auto shown = std::make_shared<bool>(false);
        TFM_Kontakt *f = contactForm.get();
        QTimer::singleShot(0, f, [f, act, shown] {
            if (!f->isVisible())
                return;
            *shown = true;
            act(*f);
            if (!f->isBrowseMode())
                f->BB_ZrusClick();
            f->close();
        });
        return [shown] { return *shown; };
    }
};
