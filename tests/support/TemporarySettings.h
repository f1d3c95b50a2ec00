#pragma once

#include <QSettings>
#include <QTemporaryDir>

/// Sends every user-scope QSettings of the test process into a temporary
/// directory for as long as the object lives, so that tests never read or
/// write the developer's own column layouts.
class TemporarySettings {
  public:
    TemporarySettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }
    bool isValid() const { return m_dir.isValid(); }

  private:
    QTemporaryDir m_dir;
};
