#pragma once

#include <QObject>
#include <QSettings>
#include <QVariantMap>
#include <memory>

// The user's preferences: values the user stored (kept by QSettings, ~/.config/Vaultor/) over a
// layer of registered defaults that lives only for the run. A stored value always wins over a
// registered one; each change of a key's effective value is announced with the key.
class VTUserDefaults : public QObject {
    Q_OBJECT
  public:
    // The process-wide store in the user's configuration folder.
    static VTUserDefaults* standardUserDefaults();

    // A store in the given INI file (tests point it at a temporary folder).
    explicit VTUserDefaults(const QString& filePath, QObject* parent = nullptr);

    // Adds or replaces registered defaults; they are never written to the file.
    void registerDefaults(const QVariantMap& defaults);
    QVariant registeredDefault(const QString& key) const { return registered_.value(key); }

    // The stored value, else the registered default, else an invalid QVariant.
    QVariant objectForKey(const QString& key) const;
    // Lenient boolean reading of objectForKey (false when unset).
    bool boolForKey(const QString& key) const;
    // Text of objectForKey (null when unset).
    QString stringForKey(const QString& key) const;

    void setObject(const QVariant& value, const QString& key);
    void removeObjectForKey(const QString& key);

  signals:
    void valueChanged(const QString& key);

  private:
    VTUserDefaults(std::unique_ptr<QSettings> settings, QObject* parent);

    std::unique_ptr<QSettings> settings_;
    QVariantMap registered_;
};
