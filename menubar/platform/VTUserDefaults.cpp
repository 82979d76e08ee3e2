#include "platform/VTUserDefaults.h"

#include "app/VTUtils.h"

VTUserDefaults* VTUserDefaults::standardUserDefaults() {
    static VTUserDefaults* defaults = new VTUserDefaults(
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("Vaultor"), QStringLiteral("VaultorMenuBar")),
        nullptr);
    return defaults;
}

VTUserDefaults::VTUserDefaults(const QString& filePath, QObject* parent)
    : VTUserDefaults(std::make_unique<QSettings>(filePath, QSettings::IniFormat), parent) {}

VTUserDefaults::VTUserDefaults(std::unique_ptr<QSettings> settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {}

void VTUserDefaults::registerDefaults(const QVariantMap& defaults) {
    for (auto entry = defaults.cbegin(); entry != defaults.cend(); ++entry) {
        const bool changed =
            !settings_->contains(entry.key()) && registered_.value(entry.key()) != entry.value();
        registered_.insert(entry.key(), entry.value());
        if (changed) {
            emit valueChanged(entry.key());
        }
    }
}

QVariant VTUserDefaults::objectForKey(const QString& key) const {
    if (settings_->contains(key)) {
        return settings_->value(key);
    }
    return registered_.value(key);
}

bool VTUserDefaults::boolForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    return value.isValid() && VTUtils::boolValue(value);
}

QString VTUserDefaults::stringForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    return value.isValid() ? VTUtils::textValue(value) : QString();
}

void VTUserDefaults::setObject(const QVariant& value, const QString& key) {
    const QVariant previous = objectForKey(key);
    settings_->setValue(key, value);
    settings_->sync();
    if (objectForKey(key) != previous) {
        emit valueChanged(key);
    }
}

void VTUserDefaults::removeObjectForKey(const QString& key) {
    if (!settings_->contains(key)) {
        return;
    }
    const QVariant previous = objectForKey(key);
    settings_->remove(key);
    settings_->sync();
    if (objectForKey(key) != previous) {
        emit valueChanged(key);
    }
}
