#include "app/CommandLine.h"

#include "app/AppLinks.h"
#include "app/OptionSecrets.h"
#include "app/PercentDecoding.h"

#include <QDebug>

QByteArray percentDecode(const QByteArray& bytes)
{
    QByteArray decoded;
    decoded.reserve(bytes.size());
    PercentDecoding::decode(bytes.constData(), bytes.size(), [&decoded](char byte, int, int) { decoded.append(byte); });
    return decoded;
}

namespace {

// The option texts of one process argument.
void appendArgumentOptions(QString text, QStringList& out)
{
    if (text.endsWith('/'))
        text.chop(1);
    splitOptionText(text, out);
}

} // namespace

QStringList buildArgumentList(int argc, const char* const* argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i) {
        const QString text = QString::fromUtf8(argv[i]);
        qDebug().noquote() << QString("argc(%1) %2")
                                  .arg(i)
                                  .arg(maskOptionSecrets(text, OptionTextKind_Argument | OptionTextKind_AppLink));
        appendArgumentOptions(text, list);
    }
    return list;
}

QStringList unreadOptionNames(int argc, const char* const* argv, const QStringList& readNames)
{
    QStringList options;
    for (int i = 1; i < argc; ++i)
        appendArgumentOptions(QString::fromUtf8(argv[i]), options);
    QStringList unread;
    QString name;
    QString value;
    for (const QString& entry : qAsConst(options)) {
        if (!readOptionEntry(entry, name, value))
            continue;
        if (!readNames.contains(name) && !unread.contains(name))
            unread.append(name);
    }
    return unread;
}

QVector<bool> linkOptionMarks(int argc, const char* const* argv)
{
    QVector<bool> marks;
    for (int i = 0; i < argc; ++i) {
        const QString text = QString::fromUtf8(argv[i]);
        QStringList options;
        appendArgumentOptions(text, options);
        marks.insert(marks.size(), options.size(), isAppLink(text));
    }
    return marks;
}

QStringList withoutLinkOptions(const QStringList& list, const QVector<bool>& fromLink)
{
    QStringList kept;
    for (int i = 0; i < list.size(); ++i)
        if (i >= fromLink.size() || !fromLink.at(i))
            kept.append(list.at(i));
    return kept;
}

void splitOptionText(const QString& text, QStringList& out)
{
    const QStringList parts = text.split(QStringLiteral("--"), Qt::KeepEmptyParts, Qt::CaseSensitive);
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        const QByteArray decoded = percentDecode(part.toUtf8()).trimmed();
        out.append(QStringLiteral("--") + QString::fromUtf8(decoded));
    }
}

QStringList normalizeArguments(int count, const QStringList& list)
{
    QStringList normalized;
    const int end = qMin(count, list.size());
    for (int i = 0; i < end; ++i)
        splitOptionText(list.at(i), normalized);
    return normalized;
}

void logArguments(const QStringList& list)
{
    int n = 0;
    QString allCmd;
    for (const QString& entry : list) {
        // An entry of the start-up list may be a piece of a link argument, decoded once, that a later start
        // hands to the running copy: it is masked for that reading too.
        const QString shown =
            maskOptionSecrets(entry, OptionTextKind_Option | OptionTextKind_Argument | OptionTextKind_AppLink);
        qDebug().noquote() << QString("argv[%1]: ").arg(n) + shown;
        if (!entry.contains(QLatin1String("--lessonname"))) {
            allCmd += shown + ' ';
            ++n;
        }
    }
    qInfo().noquote() << "allCmd: " + allCmd;
}

QStringList splitOpenedLink(const QString& url)
{
    QStringList pieces;
    const QStringList parts = url.split('?', Qt::KeepEmptyParts);
    for (const QString& part : parts) {
        const QString decoded = QString::fromUtf8(percentDecode(part.trimmed().toUtf8()));
        const QStringList words = decoded.split(' ', Qt::KeepEmptyParts);
        for (const QString& word : words)
            pieces.append(word.trimmed());
    }
    return pieces;
}

bool readOptionEntry(const QString& entry, QString& key, QString& value)
{
    const int equals = entry.indexOf('=');
    if (equals < 0)
        return false;
    key = entry.left(equals).toLower();
    value = entry.mid(equals + 1).trimmed();
    return true;
}

QHash<QString, QString> readOptionTable(const QStringList& list)
{
    QHash<QString, QString> options;
    QString key;
    QString value;
    for (const QString& entry : list) {
        if (readOptionEntry(entry, key, value))
            options.insert(key, value);
    }
    return options;
}
