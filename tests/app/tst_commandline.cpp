// The command line's texts: arguments into option texts, opened links, the options table and what the logs show.
#include "app/CommandLine.h"

#include "app/AppLinks.h"
#include "app/OptionSecrets.h"

#include "LogCapture.h"
#include "ZmTestMain.h"

#include <QUrl>

#include <vector>

namespace {

// The value of the token option, the way the program reads the text: a link of the program as the running copy
// reads it (its URL form, split and decoded twice), anything else as a command-line argument.
QString tokenAsRead(const QString& text)
{
    QStringList options;
    if (isAppLink(text)) {
        const QStringList pieces = ::splitOpenedLink(QUrl(text).toString(QUrl::FullyEncoded));
        options = ::normalizeArguments(pieces.size(), pieces);
    } else {
        ::splitOptionText(text, options);
    }
    const QHash<QString, QString> table = ::readOptionTable(options);
    return table.value("--authtoken", table.value("--token"));
}

// Texts whose token is read only after the parser's decoding steps, and what the log shows of them.
void addOddlyEncodedSecrets()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("masked");

    QTest::newRow("link, equals sign encoded twice") << "zmquillo://j?--token%253Ds3cr3t%20--uid%3D7"
                                                     << "zmquillo://j?--token%253D***%20--uid%3D7";
    QTest::newRow("argument, key letter encoded") << "--%74oken=s3cr3t --uid=7"
                                                  << "--%74oken=*** --uid=7";
    QTest::newRow("link, key letter and equals sign encoded twice") << "zmquillo:x?--uid%3D7%20--%2574oken%253Ds3cr3t"
                                                                    << "zmquillo:x?--uid%3D7%20--%2574oken%253D***";
    QTest::newRow("link, option without dashes") << "zmquillo:x?authtoken=s3cr3t"
                                                 << "zmquillo:x?authtoken=***";
    QTest::newRow("argument, key in capitals and encoded") << "--uid=7 --%41uth%54OKEN%3Ds3cr3t"
                                                           << "--uid=7 --%41uth%54OKEN%3D***";
    QTest::newRow("argument, a letter that lower-cases to k")
        << QString::fromUtf8("--to\u212Aen=s3cr3t") << QString::fromUtf8("--to\u212Aen=***");
    QTest::newRow("argument, blank decoded before the key") << "--%20token=s3cr3t"
                                                            << "--%20token=***";
    QTest::newRow("link, dashes of the value encoded twice") << "zmquillo:x?--token%3Ds3%252D%252Dcr3t%20--uid%3D7"
                                                             << "zmquillo:x?--token%3D***%20--uid%3D7";
    QTest::newRow("link with escapes in small letters") << "zmquillo://j?--uid%3d7%20--token%3ds3cr3t"
                                                        << "zmquillo://j?--uid%3d7%20--token%3d***";
    // The running copy reads another text than the one given (a stray "%" or an unreserved character's escape
    // make the URL form differ): everything after the scheme is masked.
    QTest::newRow("link whose URL form differs, stray percent") << "zmquillo:x?--lessonname%3D100%%20--token%3Ds3cr3t"
                                                                << "zmquillo:***";
    QTest::newRow("link whose URL form differs, encoded dashes") << "zmquillo:x?%2D%2Dtoken=s3cr3t"
                                                                 << "zmquillo:***";
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void splitOptionText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("options");

        QTest::newRow("one option") << "--uid=100234" << QStringList{"--uid=100234"};
        QTest::newRow("several options in one argument")
            << "--apptype=joinclass --teachtype=2  --accounttype=1"
            << QStringList{"--apptype=joinclass", "--teachtype=2", "--accounttype=1"};
        QTest::newRow("percent escapes") << "--lessonname=a%20b" << QStringList{"--lessonname=a b"};
        QTest::newRow("encoded equals sign") << "--uid%3D7" << QStringList{"--uid=7"};
        QTest::newRow("UTF-8 escapes") << "--lessonname=%E4%B8%AD%E6%96%87" << QStringList{"--lessonname=中文"};
        QTest::newRow("lower-case hexadecimal") << "--x=%c3%a9" << QStringList{"--x=é"};
        QTest::newRow("decoded blanks are trimmed") << "--uid=7%20%09" << QStringList{"--uid=7"};
        QTest::newRow("a percent sign without two hex digits stays")
            << "--x=100% --y=%zz --z=%4" << QStringList{"--x=100%", "--y=%zz", "--z=%4"};
        QTest::newRow("escaped percent is decoded once") << "--x=%2541" << QStringList{"--x=%41"};
        QTest::newRow("text without dashes") << "abc" << QStringList{"--abc"};
        QTest::newRow("program path") << "/opt/zm/ZmQuillo_Desktop" << QStringList{"--/opt/zm/ZmQuillo_Desktop"};
        QTest::newRow("a part that trims to nothing") << "-- --uid=1" << QStringList{"--", "--uid=1"};
        QTest::newRow("empty parts are skipped") << "------uid=1" << QStringList{"--uid=1"};
        QTest::newRow("empty text") << "" << QStringList{};
        QTest::newRow("single dash stays inside a value")
            << "--lessonname=a-b -c" << QStringList{"--lessonname=a-b -c"};
        QTest::newRow("link from a browser")
            << "zmquillo://join?--apptype%3Djoinclass%20--uid%3D100234"
            << QStringList{"--zmquillo://join?", "--apptype=joinclass", "--uid=100234"};
    }

    void splitOptionText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, options);
        QStringList out{"--kept=1"};
        ::splitOptionText(text, out);
        QCOMPARE(out, QStringList{"--kept=1"} + options);
    }

    void buildArgumentList()
    {
        std::vector<QByteArray> arguments{"/opt/zm/ZmQuillo_Desktop",
                                          "--uid=7/",
                                          "--apptype=joinclass --teachtype=2",
                                          "--lessonname=Unit%203",
                                          "zmquillo://join?--lessonid%3D88%20--uid%3D9/",
                                          "//"};
        std::vector<const char*> argv;
        for (const QByteArray& argument : arguments)
            argv.push_back(argument.constData());

        const QStringList list = ::buildArgumentList(int(argv.size()), argv.data());
        QCOMPARE(list, (QStringList{"--/opt/zm/ZmQuillo_Desktop", "--uid=7", "--apptype=joinclass", "--teachtype=2",
                                    "--lessonname=Unit 3", "--zmquillo://join?", "--lessonid=88", "--uid=9", "--/"}));
    }

    void unreadOptionNames_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QStringList>("unread");
        QTest::newRow("read names in any case") << QByteArrayList{"--UrlApi=http://x", "--uid=7"} << QStringList{};
        QTest::newRow("a near miss, once")
            << QByteArrayList{"--urlapix=1", "--uid=7 --urlapix=2"} << QStringList{"--urlapix"};
        QTest::newRow("names in one argument, in order")
            << QByteArrayList{"--b_opt=1 --uid=2 --a_opt=3"} << QStringList{"--b_opt", "--a_opt"};
        QTest::newRow("decoded like every argument") << QByteArrayList{"--c_opt%3D1/"} << QStringList{"--c_opt"};
        QTest::newRow("entries without a value") << QByteArrayList{"--zm-restarted", "--disable-gpu"} << QStringList{};
        QTest::newRow("a link's first piece") << QByteArrayList{"zmquillo://join?--uid%3D9"} << QStringList{};
    }

    // Options that nothing reads are found among the arguments after the program's path, which is never one.
    void unreadOptionNames()
    {
        QFETCH(QByteArrayList, arguments);
        arguments.prepend("/opt/odd=path--sub=1/ZmQuillo_Desktop");
        std::vector<const char*> argv;
        for (const QByteArray& argument : qAsConst(arguments))
            argv.push_back(argument.constData());
        QTEST(::unreadOptionNames(int(argv.size()), argv.data(), {"--urlapi", "--uid"}), "unread");
    }

    void normalizeArguments()
    {
        const QStringList list{"--a=1 --b=2", "x%20", "--c=3"};
        QCOMPARE(::normalizeArguments(2, list), (QStringList{"--a=1", "--b=2", "--x"}));
        QCOMPARE(::normalizeArguments(9, list), (QStringList{"--a=1", "--b=2", "--x", "--c=3"}));
        QCOMPARE(::normalizeArguments(0, list), QStringList{});
    }

    void splitOpenedLink_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("pieces");

        QTest::newRow("options after ? with encoded blanks")
            << "zmquillo://join?--apptype%3Djoinclass%20--teachtype%3D2%20--accounttype%3D1"
            << QStringList{"zmquillo://join", "--apptype=joinclass", "--teachtype=2", "--accounttype=1"};
        QTest::newRow("encoded value with a blank")
            << "zmquillo://join?--lessonname%3Da%2520b" << QStringList{"zmquillo://join", "--lessonname=a%20b"};
        QTest::newRow("without ?") << "zmquillo://open" << QStringList{"zmquillo://open"};
        QTest::newRow("two blanks keep an empty piece")
            << "zmquillo:x?--a=1%20%20--b=2" << QStringList{"zmquillo:x", "--a=1", "", "--b=2"};
        QTest::newRow("several ?") << "zmquillo:x?--a=1?--b=2" << QStringList{"zmquillo:x", "--a=1", "--b=2"};
        QTest::newRow("ends in ?") << "zmquillo:x?" << QStringList{"zmquillo:x", ""};
    }

    void splitOpenedLink()
    {
        QFETCH(QString, url);
        QFETCH(QStringList, pieces);
        QCOMPARE(::splitOpenedLink(url), pieces);
    }

    // A link routes like the same options on the command line.
    void linkAndCommandLineGiveTheSameOptions()
    {
        const QStringList fromLink =
            ::splitOpenedLink("zmquillo://join?--apptype%3Djoinclass%20--uid%3D7%20--lessonname%3DUnit%25203");
        const QHash<QString, QString> linkOptions = ::readOptionTable(::normalizeArguments(fromLink.size(), fromLink));

        QStringList fromCommandLine;
        ::splitOptionText("--apptype=joinclass --uid=7", fromCommandLine);
        ::splitOptionText("--lessonname=Unit%203", fromCommandLine);
        QCOMPARE(linkOptions, ::readOptionTable(fromCommandLine));
        QCOMPARE(linkOptions.value("--lessonname"), QString("Unit 3"));
    }

    void readOptionTable_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("size");

        QTest::newRow("mixed-case name, value keeps its case") << QStringList{"--AccountType=Pupil"} << "--accounttype"
                                                               << "Pupil" << 1;
        QTest::newRow("value with a query keeps it whole")
            << QStringList{"--urlmain=http://h.example/p?a=1&b=2"} << "--urlmain"
            << "http://h.example/p?a=1&b=2" << 1;
        QTest::newRow("token ending in =") << QStringList{"--token=YWJjZA=="} << "--token"
                                           << "YWJjZA==" << 1;
        QTest::newRow("value trimmed") << QStringList{"--uid= 7 "} << "--uid"
                                       << "7" << 1;
        QTest::newRow("empty value") << QStringList{"--uid="} << "--uid"
                                     << "" << 1;
        QTest::newRow("entry without = is ignored") << QStringList{"--/opt/zm/prog", "--uid=7"} << "--uid"
                                                    << "7" << 1;
        QTest::newRow("later entry wins") << QStringList{"--uid=1", "--UID=2"} << "--uid"
                                          << "2" << 1;
        QTest::newRow("empty name") << QStringList{"=x"} << ""
                                    << "x" << 1;
    }

    void readOptionTable()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(int, size);
        const QHash<QString, QString> options = ::readOptionTable(list);
        QCOMPARE(options.size(), size);
        QVERIFY(options.contains(key));
        QCOMPARE(options.value(key), value);
    }

    void maskOptionSecrets_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("masked");

        QTest::newRow("token") << "--token=abc=="
                               << "--token=***";
        QTest::newRow("auth token, any case") << "--AuthToken=\"x.y.z\""
                                              << "--AuthToken=***";
        QTest::newRow("followed by an option") << "--token=abc --uid=7"
                                               << "--token=*** --uid=7";
        QTest::newRow("in an encoded link") << "zmquillo://j?--token%3Dab%2Bc%20--uid%3D7"
                                            << "zmquillo://j?--token%3D***%20--uid%3D7";
        QTest::newRow("empty token") << "--token="
                                     << "--token=";
        QTest::newRow("other options untouched") << "--tokenish=1 --uid=7"
                                                 << "--tokenish=1 --uid=7";
    }

    void maskOptionSecrets()
    {
        QFETCH(QString, text);
        QFETCH(QString, masked);
        QCOMPARE(::maskOptionSecrets(text, OptionTextKind_Argument | OptionTextKind_AppLink), masked);
    }

    // A token the parser reads only after decoding the key, the "=" or the dashes is masked all the same.
    void maskOddlyEncodedSecrets_data() { addOddlyEncodedSecrets(); }

    void maskOddlyEncodedSecrets()
    {
        QFETCH(QString, text);
        QFETCH(QString, masked);
        QVERIFY2(tokenAsRead(text).startsWith("s3"), qPrintable(tokenAsRead(text)));
        QCOMPARE(::maskOptionSecrets(text, OptionTextKind_Argument | OptionTextKind_AppLink), masked);
        QVERIFY2(tokenAsRead(masked).isEmpty() || tokenAsRead(masked) == "***", qPrintable(tokenAsRead(masked)));
    }

    // Neither the arguments' log nor the parsed list's shows such a token.
    void argumentLogsWithoutOddlyEncodedSecrets_data() { addOddlyEncodedSecrets(); }

    void argumentLogsWithoutOddlyEncodedSecrets()
    {
        QFETCH(QString, text);
        const QByteArray argument = text.toUtf8();
        const char* argv[] = {"/opt/prog", argument.constData()};
        ZmTest::LogCapture capture;
        const QStringList list = ::buildArgumentList(2, argv);
        ::logArguments(list);
        const QStringList pieces = ::splitOpenedLink(QUrl(text).toString(QUrl::FullyEncoded));
        ::logArguments(::normalizeArguments(pieces.size(), pieces));
        QVERIFY2(!capture.text().contains("cr3t"), qPrintable(capture.text()));
    }

    // Every entry is logged with its number; the lesson name is left out of the whole line and of the count;
    // no token reaches the log.
    void logArguments()
    {
        ZmTest::LogCapture capture;
        ::logArguments({"--/opt/prog", "--lessonname=Unit 3", "--token=secret-token=", "--uid=7"});
        const QStringList messages = capture.lines();
        QCOMPARE(messages, (QStringList{"argv[0]: --/opt/prog", "argv[1]: --lessonname=Unit 3", "argv[1]: --token=***",
                                        "argv[2]: --uid=7", "allCmd: --/opt/prog --token=*** --uid=7 "}));
    }

    void buildArgumentListLogsWithoutSecrets()
    {
        ZmTest::LogCapture capture;
        const char* argv[] = {"/opt/prog", "--uid=7 --token=secret-token"};
        ::buildArgumentList(2, argv);
        const QString all = capture.text();
        QVERIFY2(!all.contains("secret-token"), qPrintable(all));
        QVERIFY(all.contains("argc(1) --uid=7 --token=***"));
    }
};

ZM_TEST_MAIN_CORE(TestCommandLine)
#include "tst_commandline.moc"
