#pragma once

#include "DataFixture.h"
#include "MessageService.h"
#include "U_Firma.h"
#include "U_Info.h"
#include "U_Kontakt.h"
#include "U_deska.h"
#include "U_report.h"

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
    msg::Recorder messages;
    TfmReporty printForm;
    std::unique_ptr<Tfm_Deska> deska;
    std::unique_ptr<TFM_Kontakt> contactForm;
    std::unique_ptr<Tfm_Firma> companyForm;
    std::unique_ptr<TfmInfo> about;
};
