#include "VersionInfo.h"

#include <QFile>
#include <QJsonDocument>

namespace app {

std::optional<QByteArray> programVersionBlock()
{
    QFile resource(QStringLiteral(":/version/VersionInfo.json"));
    if (!resource.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray block = resource.readAll();
    if (block.isEmpty())
        return std::nullopt;
    return block;
}

VersionInfo::VersionInfo(const QByteArray& block)
    : root_(QJsonDocument::fromJson(block).object())
{
}

QByteArray VersionInfo::QueryVersionString(const QByteArray& path) const
{
    QJsonValue node = root_;
    for (const QByteArray& part : path.split('\\')) {
        if (part.isEmpty())
            continue;
        node = node.toObject().value(QString::fromUtf8(part));
    }
    return node.isString() ? node.toString().toUtf8() : QByteArray();
}

} // namespace app
