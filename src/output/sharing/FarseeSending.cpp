#include "FarseeSending.h"

#include "DMDictionaryAccess.h"
#include "DMLocalizedString.h"

#include <QFileIconProvider>
#include <QMimeDatabase>

namespace {

const QString kFilenameKey = QStringLiteral("filename");
const QString kTitleKey = QStringLiteral("title");
const QString kProgressKey = QStringLiteral("progress");
const QString kSentDateKey = QStringLiteral("sentDate");
const QString kErrorKey = QStringLiteral("error");
const QString kRemoteURLKey = QStringLiteral("remoteURLString");
const QString kHrefKey = QStringLiteral("hrefURLString");

QString extensionOf(const QString &filename)
{
    const qsizetype dot = filename.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? filename.mid(dot + 1) : QString();
}

// The XML property list carries no control characters but tab, line feed and carriage return.
QString writable(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r'; });
    return text;
}

QString titleOf(const QString &filename)
{
    const qsizetype dot = filename.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? filename.left(dot) : filename;
}

} // namespace

FarseeSending::FarseeSending(const QString &filename)
    : filename(filename)
    , title(titleOf(filename))
    , filetype(filetypeForFileName(filename))
    , icon(iconForFileName(filename))
{
}

QString FarseeSending::filetypeForFileName(const QString &filename)
{
    const QString extension = extensionOf(filename).toLower();
    if (extension == QLatin1String("mov") || extension == QLatin1String("mp4"))
        return DMLocalizedString("movie");
    return DMLocalizedString("picture");
}

QIcon FarseeSending::iconForFileName(const QString &filename)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(filename, QMimeDatabase::MatchExtension);
    const QIcon fallback = QFileIconProvider().icon(QFileIconProvider::File);
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
}

QVariantMap FarseeSending::fileDictionary() const
{
    QVariantMap dictionary{{kFilenameKey, writable(filename)}, {kTitleKey, writable(title)}, {kProgressKey, progress}};
    if (sentDate.isValid())
        dictionary.insert(kSentDateKey, sentDate.toUTC());
    if (!error.isEmpty())
        dictionary.insert(kErrorKey, writable(error));
    if (!remoteURL.isEmpty())
        dictionary.insert(kRemoteURLKey, QString::fromUtf8(remoteURL.toEncoded()));
    if (!href.isEmpty())
        dictionary.insert(kHrefKey, QString::fromUtf8(href.toEncoded()));
    return dictionary;
}

FarseeSending FarseeSending::withFileDictionary(const QVariantMap &dictionary)
{
    FarseeSending sending(stringForKey(dictionary, kFilenameKey));
    const QString title = stringForKey(dictionary, kTitleKey);
    if (!title.isEmpty())
        sending.title = title;
    sending.progress = doubleForKey(dictionary, kProgressKey);
    const QVariant date = dictionary.value(kSentDateKey);
    if (date.typeId() == QMetaType::QDateTime)
        sending.sentDate = date.toDateTime();
    sending.error = stringForKey(dictionary, kErrorKey);
    sending.remoteURL = QUrl(stringForKey(dictionary, kRemoteURLKey));
    sending.href = QUrl(stringForKey(dictionary, kHrefKey));
    return sending;
}

bool FarseeSending::listOrderLess(const FarseeSending &a, const FarseeSending &b)
{
    if (a.isFinished() != b.isFinished())
        return !a.isFinished();
    return a.sentDate < b.sentDate;
}
