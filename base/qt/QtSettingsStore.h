// The programs' settings store: QSettings in INI form under $XDG_CONFIG_HOME/Tarvel/KOS.ini,
// sections as groups below "KOS ONLINE".
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "base/Settings.h"

namespace kos {

inline constexpr const char* APPLICATION_KEY = "KOS ONLINE";

class QtSettingsStore final : public SettingsStore {
public:
    // The per-user store of organisation "Tarvel", application "KOS".
    QtSettingsStore();
    // An explicit INI file (tests, tools).
    explicit QtSettingsStore(const QString& iniPath);

    std::optional<int> getInt(const std::string& section, const std::string& name) override;
    std::optional<std::string> getString(const std::string& section,
                                         const std::string& name) override;
    void setInt(const std::string& section, const std::string& name, int value) override;
    void setString(const std::string& section, const std::string& name,
                   const std::string& value) override;

    // Writes pending changes to disk (also done on destruction).
    void sync();
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace kos
