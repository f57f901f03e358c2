#include "base/qt/QtSettingsStore.h"

#include <QVariant>

namespace kos {

namespace {

QString key(const std::string& section, const std::string& name) {
    return QString::fromLatin1(APPLICATION_KEY) + '/' + QString::fromStdString(section) + '/' +
           QString::fromStdString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Tarvel"), QStringLiteral("KOS"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

std::optional<int> QtSettingsStore::getInt(const std::string& section, const std::string& name) {
    QVariant v = settings_->value(key(section, name));
    // INI keeps numbers as text; only a whole decimal number counts.
    if (!v.isValid() || v.typeId() == QMetaType::QStringList)
        return std::nullopt;
    bool ok = false;
    int n = v.toString().trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

std::optional<std::string> QtSettingsStore::getString(const std::string& section,
                                                      const std::string& name) {
    QVariant v = settings_->value(key(section, name));
    if (!v.isValid() || !v.canConvert<QString>() || v.typeId() == QMetaType::QStringList)
        return std::nullopt;
    return v.toString().toStdString();
}

void QtSettingsStore::setInt(const std::string& section, const std::string& name, int value) {
    settings_->setValue(key(section, name), value);
}

void QtSettingsStore::setString(const std::string& section, const std::string& name,
                                const std::string& value) {
    settings_->setValue(key(section, name), QString::fromStdString(value));
}

void QtSettingsStore::sync() {
    settings_->sync();
}

QString QtSettingsStore::fileName() const {
    return settings_->fileName();
}

}  // namespace kos
