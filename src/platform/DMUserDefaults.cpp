#include "DMUserDefaults.h"

#include "DMObservable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The file holds passwords (the web export's FTP login, the sharing account): only its owner may
// read it. QSettings writes a new copy over the old one and keeps the old one's permissions, so
// the file is made, or narrowed, before anything is written into it.
void keepReadableByOwnerOnly(const QString &path)
{
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.exists()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnly);
        return;
    }
    if ((file.permissions() & ~(kOwnerOnly | QFileDevice::ReadUser | QFileDevice::WriteUser)) != 0)
        file.setPermissions(kOwnerOnly);
}

} // namespace

struct DMUserDefaults::Private
{
    std::unique_ptr<QSettings> settings;
    QVariantMap registered;
    DMObservable observable;

    void open(const QString &file)
    {
        if (settings)
            sync();
        settings = file.isEmpty() ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                                QCoreApplication::organizationName(),
                                                                QCoreApplication::applicationName())
                                  : std::make_unique<QSettings>(file, QSettings::IniFormat);
        keepReadableByOwnerOnly(settings->fileName());
        registered.clear();
    }

    void sync()
    {
        keepReadableByOwnerOnly(settings->fileName());
        settings->sync();
    }
};

DMUserDefaults &DMUserDefaults::standardUserDefaults()
{
    static DMUserDefaults defaults{QString()};
    return defaults;
}

void DMUserDefaults::setStorageFileForTesting(const QString &path)
{
    standardUserDefaults().d->open(path);
}

DMUserDefaults::DMUserDefaults(const QString &file) : d(std::make_unique<Private>())
{
    d->open(file);
}

DMUserDefaults::~DMUserDefaults()
{
    d->sync();
}

void DMUserDefaults::registerDefaults(const QVariantMap &defaults)
{
    for (auto it = defaults.constBegin(); it != defaults.constEnd(); ++it)
        d->registered.insert(it.key(), it.value());
}

// The settings file keeps numbers and booleans as text; a registered default of another type
// says what the stored text means.
QVariant DMUserDefaults::objectForKey(const QString &key) const
{
    const QVariant registered = d->registered.value(key);
    if (!d->settings->contains(key))
        return registered;
    QVariant stored = d->settings->value(key);
    if (stored.metaType().id() == QMetaType::QString && registered.isValid()
        && registered.metaType().id() != QMetaType::QString) {
        QVariant converted = stored;
        if (converted.convert(registered.metaType()))
            return converted;
    }
    return stored;
}

QString DMUserDefaults::storageFileName() const
{
    const QString path = QFileInfo(d->settings->fileName()).absoluteFilePath();
    const QString home = QDir::homePath();
    if (path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

bool DMUserDefaults::hasStoredValueForKey(const QString &key) const
{
    return d->settings->contains(key);
}

void DMUserDefaults::setObjectForKey(const QVariant &value, const QString &key)
{
    if (!value.isValid()) {
        removeObjectForKey(key);
        return;
    }
    d->observable.willChangeValueForKey(key);
    d->settings->setValue(key, value);
    d->observable.didChangeValueForKey(key);
}

void DMUserDefaults::removeObjectForKey(const QString &key)
{
    d->observable.willChangeValueForKey(key);
    d->settings->remove(key);
    d->observable.didChangeValueForKey(key);
}

bool DMUserDefaults::boolForKey(const QString &key) const
{
    return objectForKey(key).toBool();
}

int DMUserDefaults::integerForKey(const QString &key) const
{
    return objectForKey(key).toInt();
}

double DMUserDefaults::doubleForKey(const QString &key) const
{
    return objectForKey(key).toDouble();
}

QString DMUserDefaults::stringForKey(const QString &key) const
{
    return objectForKey(key).toString();
}

void DMUserDefaults::setBoolForKey(bool value, const QString &key)
{
    setObjectForKey(QVariant(value), key);
}

void DMUserDefaults::setIntegerForKey(int value, const QString &key)
{
    setObjectForKey(QVariant(value), key);
}

void DMUserDefaults::setDoubleForKey(double value, const QString &key)
{
    setObjectForKey(QVariant(value), key);
}

DMObservation DMUserDefaults::observe(const QString &key, std::function<void(const QString &key)> callback)
{
    return d->observable.observe(key, [callback = std::move(callback)](const DMChange &change, DMObservable *) {
        callback(change.key);
    });
}

void DMUserDefaults::synchronize()
{
    d->sync();
}
