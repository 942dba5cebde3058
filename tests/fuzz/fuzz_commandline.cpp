// The command line and opened links over arbitrary bytes: arguments split into option texts (NUL separates the
// arguments), links split and decoded, the options table applied to the application data and checked.
#include "app/AppGlobalData.h"
#include "app/CommandLine.h"
#include "app/LaunchOptions.h"
#include "app/OptionSecrets.h"
#include "app/UrlConfig.h"

#include "QuietQtMessages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();

    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    check(percentDecode(bytes).size() <= bytes.size());

    // Arguments as the process gets them.
    const QList<QByteArray> arguments = bytes.split('\0');
    std::vector<const char*> argv;
    for (const QByteArray& argument : arguments)
        argv.push_back(argument.constData());
    QStringList list = buildArgumentList(int(argv.size()), argv.data());

    // The same text as an opened link.
    const QStringList pieces = splitOpenedLink(QString::fromUtf8(bytes));
    list += normalizeArguments(pieces.size(), pieces);
    for (const QString& option : list)
        check(option.startsWith(QLatin1String("--")));
    maskOptionSecrets(QString::fromUtf8(bytes),
                      OptionTextKind_Option | OptionTextKind_Argument | OptionTextKind_AppLink);

    AppGlobalData appData;
    UrlConfig urls;
    LaunchOptions parser;
    int exchanges = 0;
    parser.parse(list, appData, urls, [&exchanges](const QString&, const QString& tokenText) {
        check(!tokenText.isEmpty() && !tokenText.contains('"'));
        ++exchanges;
        return QStringLiteral("exchanged");
    });
    check(exchanges <= 1);

    const LaunchInfo& launch = appData.launch;
    check(launch.uiType >= 0 && launch.uiType <= 3);
    check(launch.appType >= 0 && launch.appType <= 2);
    const int status = LaunchOptions::startStatusFor(launch.appType, launch.uiType);
    check(status >= 0 && status <= 7);
    // A start that passes the check always has a window to open.
    if (parser.checkParams(launch))
        check(status != 0);
    else
        check(parser.errors().size() == 1);
    return 0;
}
