#include "NBJSON.h"

#include <nlohmann/json.hpp>

#include <QStringList>

using nlohmann::json;

namespace {

constexpr int kMaximumDepth = 256;

bool toVariant(const json &value, int depth, QVariant *result)
{
    if (depth > kMaximumDepth)
        return false;
    switch (value.type()) {
    case json::value_t::object: {
        QVariantMap map;
        for (auto it = value.begin(); it != value.end(); ++it) {
            QVariant element;
            if (!toVariant(it.value(), depth + 1, &element))
                return false;
            map.insert(QString::fromStdString(it.key()), element);
        }
        *result = map;
        return true;
    }
    case json::value_t::array: {
        QVariantList list;
        list.reserve(qsizetype(value.size()));
        for (const json &item : value) {
            QVariant element;
            if (!toVariant(item, depth + 1, &element))
                return false;
            list.append(element);
        }
        *result = list;
        return true;
    }
    case json::value_t::string:
        *result = QString::fromStdString(value.get_ref<const std::string &>());
        return true;
    case json::value_t::boolean:
        *result = value.get<bool>();
        return true;
    case json::value_t::number_integer:
        *result = value.get<qint64>();
        return true;
    case json::value_t::number_unsigned: {
        const auto number = value.get<quint64>();
        *result = number > quint64(std::numeric_limits<qint64>::max()) ? QVariant(number) : QVariant(qint64(number));
        return true;
    }
    case json::value_t::number_float:
        *result = value.get<double>();
        return true;
    default:
        *result = QVariant::fromValue(nullptr);
        return true;
    }
}

bool toJSON(const QVariant &value, int depth, json *result)
{
    if (depth > kMaximumDepth)
        return false;
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap: {
        *result = json::object();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            json element;
            if (!toJSON(it.value(), depth + 1, &element))
                return false;
            (*result)[it.key().toStdString()] = std::move(element);
        }
        return true;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        *result = json::array();
        for (const QVariant &item : value.toList()) {
            json element;
            if (!toJSON(item, depth + 1, &element))
                return false;
            result->push_back(std::move(element));
        }
        return true;
    }
    case QMetaType::QString:
        *result = value.toString().toStdString();
        return true;
    case QMetaType::Bool:
        *result = value.toBool();
        return true;
    case QMetaType::Int:
    case QMetaType::LongLong:
        *result = value.toLongLong();
        return true;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        *result = value.toULongLong();
        return true;
    case QMetaType::Double:
        *result = value.toDouble();
        return true;
    case QMetaType::Nullptr:
        *result = nullptr;
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<QVariant> NBJSONValueWithData(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    // Parsing without exceptions: a syntax error, invalid UTF-8 included, gives a discarded value.
    const json parsed = json::parse(data.cbegin(), data.cend(), nullptr, false);
    if (parsed.is_discarded())
        return std::nullopt;
    QVariant result;
    if (!toVariant(parsed, 0, &result))
        return std::nullopt;
    return result;
}

QByteArray NBJSONDataWithValue(const QVariant &value)
{
    json document;
    if (!toJSON(value, 0, &document))
        return {};
    // QString always converts to valid UTF-8, so dumping cannot fail on the text.
    const std::string text = document.dump(-1, ' ', false, json::error_handler_t::replace);
    return QByteArray(text.data(), qsizetype(text.size()));
}

bool NBJSONIsNull(const QVariant &value)
{
    return !value.isValid() || value.metaType().id() == QMetaType::Nullptr;
}
