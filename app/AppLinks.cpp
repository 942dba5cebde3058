#include "app/AppLinks.h"

bool isAppLink(const QString& text)
{
    const QString prefix = QLatin1String(kAppLinkScheme) + ':';
    return text.trimmed().startsWith(prefix, Qt::CaseInsensitive);
}

QString appLinkArgument(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        QString text = QString::fromUtf8(argv[i]).trimmed();
        if (!isAppLink(text))
            continue;
        if (text.endsWith('/'))
            text.chop(1);
        return text;
    }
    return QString();
}
