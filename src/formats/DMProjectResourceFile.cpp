#include "DMProjectResourceFile.h"

#include "DMDictionaryAccess.h"
#include "DMExchangeFile.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMPropertyList.h"

#include <QDebug>
#include <QImage>

#include <cmath>

const QString DMProjectResourceFile::kVersionKey = QStringLiteral("halcyra version");
const QString DMProjectResourceFile::kResourcesKey = QStringLiteral("resources");

namespace {

const QString kClassKey = QStringLiteral("class");
const QString kObjectIDKey = QStringLiteral("objectID");
const QString kTagKey = QStringLiteral("tag");
const QString kNameKey = QStringLiteral("name");
const QString kKindKey = QStringLiteral("kind");
const QString kAttributesKey = QStringLiteral("attributes");
const QString kSubitemsKey = QStringLiteral("subitems");

constexpr qsizetype kMaximumTextLength = 10000;
constexpr double kMaximumRate = 1e9;

bool isShortText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString && value.toString().size() <= kMaximumTextLength;
}

// The attributes the resource list and the costs read, each of its type and in its range.
bool attributesAreSound(const QVariantMap &attributes)
{
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it) {
        const QVariant &value = it.value();
        if (it.key() == kDMProjectResource_HourlyCost) {
            const double rate = value.toDouble();
            if (!isNumberValue(value) || !std::isfinite(rate) || rate < 0 || rate > kMaximumRate)
                return false;
        } else if (it.key() == kDMProjectResource_CostKind) {
            if (!isIntegerValue(value) || !DMProjectResourceCostKind_isValid(value.toLongLong()))
                return false;
        } else if (it.key() == kDMProjectResource_Human) {
            if (value.typeId() != QMetaType::Bool && !isIntegerValue(value))
                return false;
        } else if (it.key() == kDMProjectResource_Email || it.key() == kDMProjectResource_Phone) {
            if (!isShortText(value))
                return false;
        } else if (it.key() == kDMProjectResource_Icon) {
            if (value.typeId() != QMetaType::QImage || value.value<QImage>().isNull())
                return false;
        }
    }
    return true;
}

} // namespace

QVariantMap DMProjectResourceFile::exportDictionary(const DMProject &project)
{
    QVariantList resources;
    for (const auto &resource : project.resources())
        resources.append(resourceDictionary(*resource));
    return {{kVersionKey, DMExchangeFile::applicationVersion()}, {kResourcesKey, resources}};
}

QVariantMap DMProjectResourceFile::resourceDictionary(const DMProjectResource &resource)
{
    QVariantList members;
    for (const auto &member : resource.subitems())
        members.append(resourceDictionary(*member));
    QVariantMap d{{kObjectIDKey, DMProjectCoder::idValue(resource.objectID())},
                  {kTagKey, resource.tag()},
                  {kAttributesKey, DMProjectCoder::encodeAttributes(resource.attributes())},
                  {kSubitemsKey, members},
                  {kKindKey, qint64(resource.kind())}};
    if (!resource.name().isEmpty())
        d.insert(kNameKey, resource.name());
    return d;
}

bool DMProjectResourceFile::writeToFile(const DMProject &project, const QString &path, QString *error)
{
    return DMPropertyList::writePropertyListToFile(exportDictionary(project), path, DMPropertyList::XML, error);
}

std::optional<QVariantMap> DMProjectResourceFile::validatedResource(const QVariant &value, int *skipped, int depth)
{
    if (value.typeId() != QMetaType::QVariantMap || depth > kMaximumDepth)
        return std::nullopt;
    QVariantMap resource = value.toMap();
    if (resource.contains(kClassKey) && resource.value(kClassKey) != DMProjectResource::staticClassName())
        return std::nullopt;
    // Another planner may leave the name out; a name of absurd length is damage.
    const QVariant name = resource.value(kNameKey);
    if (name.typeId() == QMetaType::QString && !isShortText(name))
        return std::nullopt;
    if (name.typeId() != QMetaType::QString || name.toString().isEmpty())
        resource.insert(kNameKey, DMLocalizedString("New Resource"));
    if (resource.contains(kTagKey) && !isIntegerValue(resource.value(kTagKey)))
        resource.remove(kTagKey);
    const QVariant kind = resource.value(kKindKey, 0);
    if (!isIntegerValue(kind) || (kind.toLongLong() != DMProjectResource::Resource && kind.toLongLong() != DMProjectResource::Group))
        return std::nullopt;
    if (resource.contains(kAttributesKey)) {
        const QVariant encoded = resource.value(kAttributesKey);
        if (encoded.typeId() != QMetaType::QVariantMap || !attributesAreSound(DMProjectCoder::decodeAttributes(encoded)))
            return std::nullopt;
    }
    QVariantList members;
    if (kind.toLongLong() == DMProjectResource::Group && resource.contains(kSubitemsKey)) {
        const QVariant subitems = resource.value(kSubitemsKey);
        if (subitems.typeId() != QMetaType::QVariantList)
            return std::nullopt;
        for (const QVariant &member : subitems.toList()) {
            if (auto sound = validatedResource(member, skipped, depth + 1))
                members.append(*sound);
            else if (skipped)
                ++*skipped;
        }
    }
    // What the reader makes anew: identity and the lanes of the resource view.
    resource.insert(kClassKey, DMProjectResource::staticClassName());
    resource.insert(kKindKey, kind.toLongLong());
    resource.remove(kObjectIDKey);
    resource.remove(QStringLiteral("subRowCount"));
    if (members.isEmpty())
        resource.remove(kSubitemsKey);
    else
        resource.insert(kSubitemsKey, members);
    // Text the project file cannot hold (a control character in a name, a value or a key) is
    // cleaned by the model when the resource joins it.
    return resource;
}

bool DMProjectResourceFile::readData(const QByteArray &data, Contents *contents, QString *error)
{
    QVariantList resources;
    QString reason;
    if (!DMExchangeFile::readEntries(data, kVersionKey, kResourcesKey, &resources, &reason)) {
        qWarning() << "Resource file: not read:" << reason;
        if (error)
            *error = DMLocalizedString("This file does not seem to be containing Halcyra 2 exported resources.");
        return false;
    }
    Contents read;
    for (const QVariant &value : resources) {
        if (auto resource = validatedResource(value, &read.skippedCount))
            read.resources.append(*resource);
        else
            ++read.skippedCount;
    }
    if (contents)
        *contents = std::move(read);
    return true;
}

bool DMProjectResourceFile::readFromFile(const QString &path, Contents *contents, QString *error)
{
    QByteArray data;
    return DMExchangeFile::readFile(path, kMaximumFileSize, &data, error) && readData(data, contents, error);
}

QList<std::shared_ptr<DMProjectResource>> DMProjectResourceFile::resourcesForProject(const Contents &contents,
                                                                                   const std::shared_ptr<DMProject> &project)
{
    QList<std::shared_ptr<DMProjectResource>> made;
    if (!project)
        return made;
    // The loader resolves references through the load-time table while it is set.
    project->setObjectIDSortedResourcesArray(QList<std::shared_ptr<DMProjectResource>>());
    for (const QVariant &value : contents.resources)
        if (auto resource = DMProjectResource::resourceWithDictionaryRepresentation(value.toMap(), project, true))
            made.append(resource);
    project->setObjectIDSortedResourcesArray(std::nullopt);
    return made;
}
