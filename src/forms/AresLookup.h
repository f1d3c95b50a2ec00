#pragma once

#include "ares/AresAnswer.h"
#include "forms/AresPreview.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

class QLineEdit;
class QWidget;

namespace ares {
class AresClient;
} // namespace ares

namespace forms {

/// "Načíst z ARES" of the company form: checks the IČO, asks the register
/// without blocking the form (a progress dialog, Esc cancels), shows the
/// answer beside the boxes and, when the user takes it, fills the boxes.
/// It saves nothing: the form's confirm does, with its checks. Every
/// failure is a Czech message and leaves the boxes as they were.
class AresLookup : public QObject {
    Q_OBJECT
  public:
    /// The form's boxes the answer fills (the seat address's).
    struct Boxes {
        QLineEdit *ico = nullptr;
        QLineEdit *name = nullptr;
        QLineEdit *dic = nullptr;
        QLineEdit *street = nullptr;
        QLineEdit *district = nullptr;
        QLineEdit *town = nullptr;
        QLineEdit *postcode = nullptr;
        QLineEdit *country = nullptr;
    };

    AresLookup(QWidget *form, const Boxes &boxes);

    /// The command: checks the IČO box and asks the register.
    void start();
    ares::AresClient &client() const { return *m_client; }
    /// The dialog shown while the question runs, or null.
    QProgressDialog *progress() const { return m_progress; }
    /// The preview shown after an answer, or null.
    AresPreview *preview() const { return m_preview; }

  private:
    void onReceived(const ares::CompanyRecord &record);
    void onFailed(const QString &message);
    void closeProgress();

    QWidget *m_form;
    Boxes m_boxes;
    ares::AresClient *m_client;
    QString m_ico;
    QPointer<QProgressDialog> m_progress;
    QPointer<AresPreview> m_preview;
};

} // namespace forms
