#include "app/CommandLine.h"

#include <QDebug>
#include <QRegularExpression>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray percentDecode(const QByteArray& bytes)
{
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '%' && i + 2 < bytes.size()) {
            const int high = hexValue(bytes.at(i + 1));
            const int low = hexValue(bytes.at(i + 2));
            if (high >= 0 && low >= 0) {
                decoded.append(char((high << 4) | low));
                i += 2;
                continue;
            }
        }
        decoded.append(c);
    }
    return decoded;
}

QString maskOptionSecrets(const QString& text)
{
    // A value ends where the next option, a blank (plain or encoded) or a link's "&" begins.
    static const QRegularExpression secret(QStringLiteral("(--(?:auth)?token(?:=|%3d))((?:(?!--|%20|&|\\s).)+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString masked = text;
    masked.replace(secret, QStringLiteral("\\1***"));
    return masked;
}

QStringList buildArgumentList(int argc, const char* const* argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i) {
        QString text = QString::fromUtf8(argv[i]);
        qDebug().noquote() << QString("argc(%1) %2").arg(i).arg(maskOptionSecrets(text));
        if (text.endsWith('/'))
            text.chop(1);
        splitOptionText(text, list);
    }
    return list;
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
        const QString shown = maskOptionSecrets(entry);
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

QHash<QString, QString> readOptionTable(const QStringList& list)
{
    QHash<QString, QString> options;
    for (const QString& entry : list) {
        const int equals = entry.indexOf('=');
        if (equals < 0)
            continue;
        options.insert(entry.left(equals).toLower(), entry.mid(equals + 1).trimmed());
    }
    return options;
}
