#pragma once

#include "app/U_Info.h"
#include "app/U_deska.h"
#include "base/MessageService.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"
#include "print/U_report.h"
#include "support/DataFixture.h"

#include <functional>
#include <memory>

/// Every window of the program on a fresh database, created in the
/// program's order and tied together as at start, with every message
/// recorded instead of shown. `fill` adds the rows before the main window
/// opens the database.
struct ProgramFixture {
    explicit ProgramFixture(const std::function<void(DataFixture &)> &fill) {
        fill(db);
        db.disconnect();
        deska = std::make_unique<Tfm_Deska>(*db.dm, db.base());
        contactForm = std::make_unique<TFM_Kontakt>(*db.dm, deska.get());
        companyForm = std::make_unique<Tfm_Firma>(*db.dm, *contactForm, deska.get());
        about = std::make_unique<TfmInfo>(*db.dm, *deska);
        deska->setWindows(contactForm.get(), companyForm.get(), about.get(), &printForm);
    }

    DataFixture db;
    base::msg::Recorder messages;
    TfmReporty printForm;
    std::unique_ptr<Tfm_Deska> deska;
    std::unique_ptr<TFM_Kontakt> contactForm;
    std::unique_ptr<Tfm_Firma> companyForm;
    std::unique_ptr<TfmInfo> about;
};
