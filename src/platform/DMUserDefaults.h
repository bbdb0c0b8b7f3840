#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QSettings;
class DMObservation;

// User defaults over QSettings, with registered defaults that answer when no value is stored.
// Stored in the standard configuration folder (XDG_CONFIG_HOME), in a file that only its owner
// may read (mode 0600: it holds passwords); tests point it elsewhere.
class DMUserDefaults
{
public:
    static DMUserDefaults &standardUserDefaults();
    // Stores in the given INI file instead (tests); resets registered defaults.
    static void setStorageFileForTesting(const QString &path);

    void registerDefaults(const QVariantMap &defaults);
    QVariant objectForKey(const QString &key) const; // stored, else registered, else invalid
    bool hasStoredValueForKey(const QString &key) const;
    void setObjectForKey(const QVariant &value, const QString &key);
    void removeObjectForKey(const QString &key);

    bool boolForKey(const QString &key) const;
    int integerForKey(const QString &key) const;
    double doubleForKey(const QString &key) const;
    QString stringForKey(const QString &key) const;
    void setBoolForKey(bool value, const QString &key);
    void setIntegerForKey(int value, const QString &key);
    void setDoubleForKey(double value, const QString &key);

    // The settings file the values are kept in, as the user finds it: "~/.config/Halcyra/Halcyra.ini".
    QString storageFileName() const;

    // Called after the value of the key changes through this object.
    [[nodiscard]] DMObservation observe(const QString &key, std::function<void(const QString &key)> callback);
    void synchronize();

    ~DMUserDefaults();

private:
    explicit DMUserDefaults(const QString &file);
    struct Private;
    std::unique_ptr<Private> d;
};
