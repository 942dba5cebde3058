#include "app/VersionTriple.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <tuple>

VersionTriple parseVersionTriple(const QString& text)
{
    VersionTriple version;
    const QStringList parts = text.split('.');
    if (parts.size() < 3)
        return version;
    int* const fields[] = {&version.majorVersion, &version.minorVersion, &version.patchVersion};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int number = parts.at(i).toInt(&ok);
        if (!ok)
            break;
        *fields[i] = number;
    }
    return version;
}

bool isNewerVersion(const VersionTriple& candidate, const VersionTriple& installed)
{
    return std::tie(candidate.majorVersion, candidate.minorVersion, candidate.patchVersion) >
           std::tie(installed.majorVersion, installed.minorVersion, installed.patchVersion);
}

bool isNewerVersion(const QString& candidate, const QString& installed)
{
    return isNewerVersion(parseVersionTriple(candidate), parseVersionTriple(installed));
}

QString versionFromJson(const QByteArray& json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return QString();
    return document.object().value("version").toString();
}
