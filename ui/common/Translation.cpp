#include "ui/common/Translation.h"

#include "ui/common/UiResources.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTranslator>

namespace {

QTranslator* s_translator = nullptr;
bool s_loaded = false;

} // namespace

bool Translation::installForLanguage(const QString& language)
{
    if (language != QLatin1String("cn"))
        return false;
    if (s_translator)
        return s_loaded;

    UiResources::ensureLoaded();
    s_translator = new QTranslator(QCoreApplication::instance());
    s_loaded = s_translator->load(QStringLiteral(":/qm/cn.qm"));
    if (!s_loaded)
        qWarning() << "Translation::installForLanguage cannot load :/qm/cn.qm, texts stay English";
    QCoreApplication::installTranslator(s_translator);
    return s_loaded;
}
