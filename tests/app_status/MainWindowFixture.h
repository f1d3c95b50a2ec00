#pragma once

#include "app/U_deska.h"
#include "base/MessageService.h"
#include "support/DataFixture.h"

#include <QDesktopServices>
#include <QUrl>

#include <memory>

/// A fresh database and the main window created on it, with every message
/// recorded instead of shown. Prepare the rows before create(): the
/// window's creation opens the database.
struct MainWindowFixture {
    explicit MainWindowFixture(initdb::BuildOptions options = {}) : data(options) {}

    Tfm_Deska &create() {
        window = std::make_unique<Tfm_Deska>(*data.dm, data.base());
        return *window;
    }

    DataFixture data;
    base::msg::Recorder messages;
    std::unique_ptr<Tfm_Deska> window;
};

/// Catches what the program hands to the browser or the mail program.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    explicit UrlCatcher(const QString &scheme) : m_scheme(scheme) {
        QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(m_scheme); }

    QList<QUrl> urls;

  public slots:
    void open(const QUrl &url) { urls << url; }

  private:
    QString m_scheme;
};
