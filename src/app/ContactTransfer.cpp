#include "app/ContactTransfer.h"

#include "app/ShutdownSignals.h"
#include "base/MessageService.h"
#include "data/U_DM.h"
#include "dataset/Dataset.h"
#include "db/DbError.h"
#include "forms/ImportPreview.h"
#include "io/Limits.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>

namespace app {

namespace {

struct FormatChoice {
    io::FileFormat format;
    const char *filter;
};
const FormatChoice kFormats[] = {
    {io::FileFormat::VCard4, "vCard 4.0 (*.vcf)"},
    {io::FileFormat::VCard3, "vCard 3.0 pro starší programy a telefony (*.vcf)"},
    {io::FileFormat::Csv, "CSV, UTF-8 s čárkami (*.csv)"},
    {io::FileFormat::CsvCz, "CSV pro české tabulkové programy, Windows-1250 se středníky (*.csv)"},
};

std::optional<TransferDialogs::Target> askExportTarget(QWidget *parent) {
    QStringList filters;
    for (const FormatChoice &f : kFormats)
        filters << QString::fromUtf8(f.filter);
    QString selected = filters.first();
    QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Export kontaktů"),
                                                QStringLiteral("kontakty.vcf"),
                                                filters.join(QStringLiteral(";;")), &selected);
    if (name.isEmpty())
        return std::nullopt;
    const io::FileFormat format = kFormats[qMax(0, int(filters.indexOf(selected)))].format;
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + io::suffixOf(format);
    return TransferDialogs::Target{name, format};
}

QString askImportFile(QWidget *parent) {
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Import kontaktů"), QString(),
        QStringLiteral("Kontakty (*.vcf *.vcard *.csv);;Všechny soubory (*)"));
}

/// A progress window with Cancel, shown once the job has taken a second.
struct ProgressWindow {
    QProgressDialog dialog;

    ProgressWindow(QWidget *parent, const QString &title, const QString &label)
        : dialog(label, QStringLiteral("Zrušit"), 0, 0, parent) {
        dialog.setObjectName(QStringLiteral("ProgressWindow"));
        dialog.setWindowTitle(title);
        dialog.setAccessibleName(title);
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(1000);
        dialog.setAutoReset(false);
    }
    io::Progress progress() {
        return [this](int done, int total) {
            dialog.setMaximum(total);
            dialog.setValue(done);
            QCoreApplication::processEvents(); // Cancel, also before the window shows
            return !dialog.wasCanceled() &&
                   !ShutdownSignals::shuttingDown(); // a signal rolls back too
        };
    }

    /// Runs `job` under the window, which closes after it; a job the user
    /// stopped says so, other errors go on.
    template <typename Job> bool run(Job job) {
        try {
            job();
            dialog.close();
            return true;
        } catch (const db::DbError &e) {
            dialog.close();
            if (e.message() != io::kStoppedText)
                throw;
            base::msg::show(base::msg::Kind::Information, e.message());
            return false;
        }
    }
};

std::optional<io::ImportPlan> showPreview(QWidget *parent, const io::ImportPlan &plan) {
    forms::ImportPreview dialog(plan, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.plan();
}

/// Opens the file to import; a file over the size limit is refused unread.
bool openFile(QFile &file, QString &error) {
    // A pipe or a device would block the read for good.
    if (QFileInfo::exists(file.fileName()) && !QFileInfo(file.fileName()).isFile()) {
        error = QStringLiteral("není to obyčejný soubor");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.size() > io::limits::kMaxFileBytes) {
        error = io::limits::tooBigMessage(file.size());
        return false;
    }
    return true;
}

/// Reads and plans the file as it goes under a progress window with Cancel:
/// the plan keeps what it needs of each card, never the whole file. Nothing
/// when the user stopped it or the file is damaged (said to the user).
std::optional<io::ImportPlan> planFile(TDM &dm, QWidget *parent, QFile &file) {
    ProgressWindow window(parent, QStringLiteral("Import kontaktů"),
                          QStringLiteral("Čtu soubor a porovnávám ho s registrem…"));
    std::optional<io::ImportPlan> plan;
    QStringList errors;
    const bool done = window.run([&] {
        io::ImportPlanner planner(io::readExisting(dm.ZConKontakty));
        const io::Progress progress = window.progress();
        errors = io::readContactFile(
            file, [&](io::Entry &&e) { planner.add(std::move(e)); },
            [&](qint64 read, qint64 total) { return progress(int(read >> 10), int(total >> 10)); });
        if (errors == QStringList{io::kStoppedText})
            throw db::DbError(io::kStoppedText);
        if (errors.isEmpty())
            plan = planner.finish();
    });
    if (done && !errors.isEmpty())
        base::msg::show(base::msg::Kind::Error,
                        QStringLiteral("Soubor %1 je poškozený, nic nebylo zapsáno:\n%2")
                            .arg(file.fileName(), errors.join(QLatin1Char('\n'))));
    return plan;
}

} // namespace

TransferDialogs TransferDialogs::standard() {
    return {askExportTarget, askImportFile, showPreview};
}

TransferDialogs &TransferDialogs::current() {
    static TransferDialogs dialogs = standard();
    return dialogs;
}

io::ExportScope boardScope(dataset::Dataset &board) {
    io::ExportScope scope;
    scope.kind = io::ExportScope::Kind::Shown;
    const int flag = board.columnIndex(QStringLiteral("Flag"));
    const int contact = board.columnIndex(QStringLiteral("ID"));
    const int company = board.columnIndex(QStringLiteral("ID_FIRMA"));
    const int rows = board.recordCount();
    for (int row = 0; row < rows; ++row) {
        if (board.valueAt(row, flag).toInt() == 2)
            scope.contactIds << board.valueAt(row, contact).toInt();
        else
            scope.companyIds << board.valueAt(row, company).toInt();
    }
    return scope;
}

void exportContacts(TDM &dm, QWidget *parent, const io::ExportScope &scope) {
    const auto target = TransferDialogs::current().exportTarget(parent);
    if (!target)
        return;
    // Written as it is read, beside the target and renamed at the end: a failure leaves no half
    // file.
    QSaveFile file(target->fileName);
    QString error;
    ProgressWindow window(parent, QStringLiteral("Export kontaktů"),
                          QStringLiteral("Zapisuji kontakty do souboru…"));
    int count = -1;
    if (file.open(QIODevice::WriteOnly) && !window.run([&] {
            count = io::exportEntries(dm.ZConKontakty, {scope}, target->format, file, error,
                                      window.progress());
        }))
        return; // the half file is dropped
    if (count < 0 && file.isOpen() &&
        file.error() == QFileDevice::NoError) { // the format, not the file
        base::msg::show(base::msg::Kind::Error,
                        QStringLiteral("Export se nepovedl: %1").arg(error));
        return;
    }
    if (count < 0 || !file.commit()) {
        base::msg::show(
            base::msg::Kind::Error,
            QStringLiteral("Soubor %1 nelze zapsat: %2").arg(target->fileName, file.errorString()));
        return;
    }
    base::msg::show(base::msg::Kind::Information,
                    QStringLiteral("Do souboru %1 bylo exportováno záznamů: %2.")
                        .arg(target->fileName)
                        .arg(count));
}

void importContacts(TDM &dm, QWidget *parent) {
    TransferDialogs &dialogs = TransferDialogs::current();
    const QString name = dialogs.importFile(parent);
    if (name.isEmpty())
        return;
    QFile file(name);
    QString error;
    if (!openFile(file, error)) {
        base::msg::show(base::msg::Kind::Error,
                        QStringLiteral("Soubor %1 nelze přečíst: %2").arg(name, error));
        return;
    }
    const std::optional<io::ImportPlan> planned = planFile(dm, parent, file);
    if (!planned)
        return;
    const io::ImportPlan &plan = *planned;
    if (plan.contacts.isEmpty() &&
        plan.companiesToCreate().isEmpty()) { // nothing to preview: say why
        QStringList refused;
        for (const io::RefusedEntry &r : plan.refused)
            refused << r.who + QStringLiteral(": ") + r.problems.join(QStringLiteral("; "));
        base::msg::show(
            base::msg::Kind::Error,
            QStringLiteral("Ze souboru %1 nelze importovat nic, nic nebylo zapsáno:\n%2")
                .arg(name, refused.join(QLatin1Char('\n'))));
        return;
    }
    const std::optional<io::ImportPlan> accepted = dialogs.preview(parent, plan);
    if (!accepted)
        return;
    ProgressWindow window(parent, QStringLiteral("Import kontaktů"),
                          QStringLiteral("Zapisuji kontakty…"));
    io::ImportResult result;
    if (!window.run(
            [&] { result = io::writeImport(dm.ZConKontakty, *accepted, window.progress()); }))
        return;
    dm.RefreshBoard();
    QString text = QStringLiteral("Importováno nových firem: %1, kontaktů: %2.")
                       .arg(result.companies)
                       .arg(result.contacts);
    if (!result.notes.isEmpty()) // others wrote meanwhile
        text += QLatin1Char('\n') + result.notes.join(QLatin1Char('\n'));
    base::msg::show(base::msg::Kind::Information, text);
}

} // namespace app
