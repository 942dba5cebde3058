// The video plug-in loaded by a stand-in browser: entry points and interfaces, page messages, view changes, the
// 50 ms poll on a virtual clock, flush pacing, and frames from shared sections painted at the view's size.
#include "PluginHost.h"
#include "ZmTestMain.h"

#include "shared/CShareFrameWriter.h"
#include "shared/ShareFrameLayout.h"
#include "shared/ShareNames.h"

#include <QtTest>

#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

struct Colour
{
    uint8_t y, u, v; // as written
    uint8_t r, g, b; // as painted
};

const Colour kRed{81, 90, 240, 255, 0, 0};
const Colour kGreen{145, 54, 34, 0, 255, 0};
const Colour kBlue{41, 240, 110, 0, 0, 255};

std::string pluginPath()
{
    return (ZmTest::programDir() + QStringLiteral("/libZmVideoPlugin.so")).toStdString();
}

bool near(uint8_t actual, uint8_t expected)
{
    return std::abs(int(actual) - int(expected)) <= 12;
}

// Whether every pixel of a picture shows the colour (BGRA, opaque).
bool showsColour(const PluginHost::Picture& picture, uint8_t r, uint8_t g, uint8_t b)
{
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.pixel(x, y);
            if (!near(p[0], b) || !near(p[1], g) || !near(p[2], r) || p[3] != 255)
                return false;
        }
    }
    return true;
}

bool showsColour(const PluginHost::Picture& picture, const Colour& colour)
{
    return showsColour(picture, colour.r, colour.g, colour.b);
}

bool isBlack(const PluginHost::Picture& picture)
{
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.pixel(x, y);
            if (p[0] || p[1] || p[2])
                return false;
        }
    }
    return true;
}

} // namespace

class TestVideoPlugin : public QObject
{
    Q_OBJECT

    std::unique_ptr<PluginHost> m_host;
    std::unique_ptr<CShareFrameWriter> m_writer;
    std::string m_viewId;
    std::string m_section;
    int m_counter = 0;

    PP_Instance start()
    {
        std::string error;
        if (m_host->load(pluginPath(), &error) != PP_OK) {
            qWarning() << "load failed:" << error.c_str();
            return 0;
        }
        return m_host->createInstance();
    }

    void sendInit(PP_Instance instance, const std::string& id)
    {
        m_host->postDictionary(instance, {{"command", "init"}, {"id", id}});
    }

    bool writeFrame(const Colour& colour, int width = 64, int height = 48)
    {
        if (!m_writer)
            m_writer = CShareFrameWriter::create(m_section.c_str(), true, int(kShareSectionSize));
        if (!m_writer || !m_writer->lock(100))
            return false;
        const int chromaWidth = (width + 1) / 2;
        const int chromaHeight = (height + 1) / 2;
        std::vector<uint8_t> y(size_t(width) * height, colour.y);
        std::vector<uint8_t> u(size_t(chromaWidth) * chromaHeight, colour.u);
        std::vector<uint8_t> v(size_t(chromaWidth) * chromaHeight, colour.v);
        const I420FrameView frame{width, height, y.data(), u.data(), v.data(), width, chromaWidth, chromaWidth};
        const bool written = m_writer->writeFrame(frame);
        m_writer->unlock();
        return written;
    }

    // Completes flushes until none is outstanding.
    void completeAllFlushes()
    {
        for (int i = 0; i < 100 && m_host->completeFlush(); ++i)
            m_host->advance(0);
    }

    // Shuts the plug-in down and checks that it let go of everything it held.
    void shutDownClean()
    {
        m_host->shutDown();
        QCOMPARE(m_host->liveResources(), 0);
        QCOMPARE(m_host->liveVars(), 0);
        QCOMPARE(m_host->flushViolations(), 0);
    }

private slots:
    void init()
    {
        m_host = std::make_unique<PluginHost>();
        m_viewId = "tvp" + std::to_string(::getpid()) + "_" + std::to_string(++m_counter);
        m_section = shareSectionName(m_viewId);
    }

    void cleanup()
    {
        m_host.reset();
        m_writer.reset();
        removeShareObjects(m_section);
    }

    void moduleStart_data()
    {
        QTest::addColumn<QStringList>("withheld");
        QTest::addColumn<int>("result");
        QTest::newRow("every interface") << QStringList() << int(PP_OK);
        QTest::newRow("older view and var only")
            << QStringList{PPB_VIEW_INTERFACE_1_1, PPB_VAR_INTERFACE_1_1} << int(PP_OK);
        QTest::newRow("no console") << QStringList{PPB_CONSOLE_INTERFACE_1_0} << int(PP_OK);
        QTest::newRow("no core") << QStringList{PPB_CORE_INTERFACE_1_0} << int(PP_ERROR_FAILED);
        QTest::newRow("no 2D graphics") << QStringList{PPB_GRAPHICS_2D_INTERFACE_1_0} << int(PP_ERROR_FAILED);
        QTest::newRow("no var at all") << QStringList{PPB_VAR_INTERFACE_1_1, PPB_VAR_INTERFACE_1_0}
                                       << int(PP_ERROR_FAILED);
    }

    // The entry points: the module starts when the interfaces it needs are there, asks for them newest first,
    // and answers the browser's questions for its own.
    void moduleStart()
    {
        QFETCH(QStringList, withheld);
        QFETCH(int, result);
        for (const QString& name : withheld)
            m_host->withhold(name.toStdString());
        std::string error;
        QCOMPARE(m_host->load(pluginPath(), &error), result);
        const std::vector<std::string>& asked = m_host->askedInterfaces();
        QVERIFY(!asked.empty());
        QCOMPARE(asked.front(), std::string(PPB_CORE_INTERFACE_1_0));
        if (result != PP_OK) {
            QVERIFY(!m_host->pluginInterface(PPP_INSTANCE_INTERFACE_1_1));
            return;
        }
        const auto position = [&](const char* name) {
            return std::find(asked.begin(), asked.end(), name) - asked.begin();
        };
        QVERIFY(position(PPB_VIEW_INTERFACE_1_2) < position(PPB_VIEW_INTERFACE_1_1));
        QVERIFY(position(PPB_VAR_INTERFACE_1_2) < position(PPB_VAR_INTERFACE_1_1));
        QVERIFY(position(PPB_GRAPHICS_2D_INTERFACE_1_1) < position(PPB_GRAPHICS_2D_INTERFACE_1_0));
        QVERIFY(m_host->pluginInterface(PPP_INSTANCE_INTERFACE_1_1));
        QVERIFY(m_host->pluginInterface(PPP_MESSAGING_INTERFACE_1_0));
        QVERIFY(m_host->pluginInterface(PPP_INPUT_EVENT_INTERFACE_0_1));
        QVERIFY(!m_host->pluginInterface("PPP_Instance_Private;0.1"));

        // Messages and frames work through whichever versions were found.
        const PP_Instance instance = m_host->createInstance();
        QVERIFY(instance);
        m_host->postInt(instance, 5);
        sendInit(instance, m_viewId);
        QVERIFY(writeFrame(kGreen));
        m_host->changeView(instance, 32, 24, true);
        m_host->completeFlush();
        m_host->advance(0);
        QCOMPARE(int(m_host->pictures().size()), 2);
        QVERIFY(showsColour(m_host->pictures().back(), kGreen));
        if (!withheld.contains(PPB_CONSOLE_INTERFACE_1_0))
            QCOMPARE(m_host->console().front(), std::string("error: Invalid message!"));
        shutDownClean();
    }

    void messages_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("console");
        QTest::addColumn<bool>("paints");
        QTest::newRow("number") << "int"
                                << ""
                                << "" << QStringList{"error: Invalid message!"} << false;
        QTest::newRow("string") << "string"
                                << "init"
                                << "" << QStringList{"error: Invalid message!"} << false;
        QTest::newRow("no command") << "dictionary"
                                    << ""
                                    << "own" << QStringList() << false;
        QTest::newRow("other command") << "dictionary"
                                       << "start"
                                       << "own" << QStringList() << false;
        QTest::newRow("init") << "dictionary"
                              << "init"
                              << "own" << QStringList() << true;
        QTest::newRow("init, id a number") << "number id"
                                           << "init"
                                           << "" << QStringList{"error: Invalid view id \"\""} << false;
        QTest::newRow("init, climbing id") << "dictionary"
                                           << "init"
                                           << "../x" << QStringList{"error: Invalid view id \"../x\""} << false;
    }

    // Each kind of page message: what the console shows and whether the view's frames get painted.
    void messages()
    {
        QFETCH(QString, kind);
        QFETCH(QString, command);
        QFETCH(QString, id);
        QFETCH(QStringList, console);
        QFETCH(bool, paints);
        const PP_Instance instance = start();
        QVERIFY(instance);
        const std::string viewId = id == "own" ? m_viewId : id.toStdString();
        std::map<std::string, std::string> strings;
        if (!command.isEmpty())
            strings["command"] = command.toStdString();
        if (kind == "int") {
            m_host->postInt(instance, 42);
        } else if (kind == "string") {
            m_host->postString(instance, command.toStdString());
        } else if (kind == "number id") {
            m_host->postDictionary(instance, strings, {{"id", 7}});
            m_host->postDictionary(instance, strings, {{"id", 8}}); // said once only
        } else {
            strings["id"] = viewId;
            m_host->postDictionary(instance, strings);
        }
        QVERIFY(writeFrame(kBlue));
        m_host->changeView(instance, 40, 30, true);
        m_host->completeFlush(); // the black first picture
        m_host->advance(120);
        completeAllFlushes();

        QStringList lines;
        for (const std::string& line : m_host->console())
            lines << QString::fromStdString(line);
        QCOMPARE(lines, console);
        QCOMPARE(int(m_host->pictures().size()), paints ? 2 : 1);
        if (paints)
            QVERIFY(showsColour(m_host->pictures().back(), kBlue));
        shutDownClean();
    }

    // The first size shows black at once, bound to the element; the poll then paints the current frame, at the
    // view's size, with the browser's row stride.
    void firstResizeBlackThenFrame()
    {
        m_host->setRowPadding(36);
        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        QVERIFY(writeFrame(kRed, 640, 480));
        m_host->changeView(instance, 320, 240, true);
        QCOMPARE(m_host->pendingFlushes(), 1);
        QCOMPARE(int(m_host->pictures().size()), 1);
        const PluginHost::Picture& black = m_host->pictures().front();
        QVERIFY(black.bound);
        QCOMPARE(black.width, 320);
        QCOMPARE(black.height, 240);
        QVERIFY(isBlack(black));

        m_host->completeFlush();
        QCOMPARE(int(m_host->pictures().size()), 2); // the frame was waiting in the queue
        const PluginHost::Picture& frame = m_host->pictures().back();
        QCOMPARE(frame.width, 320);
        QCOMPARE(frame.stride, 320 * 4 + 36);
        QVERIFY(frame.bound);
        QVERIFY(showsColour(frame, kRed));
        completeAllFlushes();
        shutDownClean();
    }

    // The poll runs every 50 ms and paints only frames with a new version, one picture each.
    void onlyNewFramesEveryTick()
    {
        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        m_host->changeView(instance, 64, 48, true);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 1); // black; no section yet
        m_host->advance(200);
        QCOMPARE(int(m_host->pictures().size()), 1);

        QVERIFY(writeFrame(kRed));
        m_host->advance(49);
        QCOMPARE(int(m_host->pictures().size()), 1); // the next tick is not due yet
        m_host->advance(1);
        QCOMPARE(int(m_host->pictures().size()), 2);
        completeAllFlushes();
        m_host->advance(500); // no new version: nothing more
        QCOMPARE(int(m_host->pictures().size()), 2);

        QVERIFY(writeFrame(kGreen));
        QVERIFY(writeFrame(kBlue)); // two versions between ticks: the newest is painted
        m_host->advance(50);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 3);
        QVERIFY(showsColour(m_host->pictures()[1], kRed));
        QVERIFY(showsColour(m_host->pictures()[2], kBlue));
        QCOMPARE(m_host->pendingWork(), 1); // one poll chain
        shutDownClean();
    }

    // While a flush is outstanding, new pictures wait and are painted one per completed flush, oldest first.
    void flushPacing()
    {
        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        m_host->changeView(instance, 16, 16, true); // black, flush outstanding
        const Colour order[] = {kRed, kGreen, kBlue};
        for (const Colour& colour : order) {
            QVERIFY(writeFrame(colour));
            m_host->advance(50);
        }
        QCOMPARE(m_host->pendingFlushes(), 1);
        QCOMPARE(int(m_host->pictures().size()), 1);
        for (int painted = 2; painted <= 4; ++painted) {
            QVERIFY(m_host->completeFlush());
            QCOMPARE(int(m_host->pictures().size()), painted);
            QCOMPARE(m_host->pendingFlushes(), 1);
            QVERIFY(showsColour(m_host->pictures().back(), order[painted - 2]));
        }
        QVERIFY(m_host->completeFlush());
        QCOMPARE(m_host->pendingFlushes(), 0);
        shutDownClean();
    }

    // A later size change paints the current frame at once at the new size, even one painted before, and drops
    // pictures still queued for the old size.
    void resizeRepaintsCurrentFrame()
    {
        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        QVERIFY(writeFrame(kGreen));
        m_host->changeView(instance, 64, 48, true);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 2);

        QVERIFY(writeFrame(kRed));
        m_host->advance(50); // red painted, flush outstanding
        QVERIFY(writeFrame(kBlue));
        m_host->advance(50); // blue waits in the queue
        m_host->changeView(instance, 32, 20, true);
        completeAllFlushes();
        m_host->advance(0);
        QCOMPARE(int(m_host->pictures().size()), 4);
        const PluginHost::Picture& repainted = m_host->pictures().back();
        QCOMPARE(repainted.width, 32);
        QCOMPARE(repainted.height, 20);
        QVERIFY(repainted.bound);
        QVERIFY(showsColour(repainted, kBlue));
        m_host->advance(100);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 4); // and the poll does not paint it again
        shutDownClean();
    }

    // Hiding ends the poll; showing again at the same size starts one chain and grabs nothing at once; every
    // visible view change starts one more chain.
    void visibilityAndPollChains()
    {
        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        m_host->changeView(instance, 16, 16, true);
        QCOMPARE(m_host->pendingWork(), 1);
        m_host->changeView(instance, 16, 16, false);
        m_host->advance(50);
        QCOMPARE(m_host->pendingWork(), 0);

        completeAllFlushes();
        QVERIFY(writeFrame(kRed));
        m_host->advance(200);
        QCOMPARE(int(m_host->pictures().size()), 1); // hidden: nothing painted

        m_host->changeView(instance, 16, 16, true);
        QCOMPARE(int(m_host->pictures().size()), 2); // the chain's first tick runs at once
        m_host->changeView(instance, 16, 16, true);
        QCOMPARE(m_host->pendingWork(), 2);
        completeAllFlushes();
        m_host->advance(200);
        QCOMPARE(int(m_host->pictures().size()), 2);
        shutDownClean();
    }

    // "init" after the element became visible: the running poll opens the section on its next tick; a later
    // "init" with another id changes nothing once the reader exists.
    void lateInitAndSecondInit()
    {
        const PP_Instance instance = start();
        m_host->changeView(instance, 16, 16, true);
        completeAllFlushes();
        QVERIFY(writeFrame(kGreen));
        m_host->advance(100);
        QCOMPARE(int(m_host->pictures().size()), 1);
        sendInit(instance, m_viewId);
        m_host->advance(50);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 2);
        QVERIFY(showsColour(m_host->pictures().back(), kGreen));

        sendInit(instance, m_viewId + "_other");
        QVERIFY(writeFrame(kRed));
        m_host->advance(50);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 3);
        QVERIFY(showsColour(m_host->pictures().back(), kRed));
        shutDownClean();
    }

    // A section whose header lies is never painted; the console says so once.
    void hostileSectionNotPainted()
    {
        m_writer = CShareFrameWriter::create(m_section.c_str(), true, 4096);
        QVERIFY(m_writer);
        auto* header = static_cast<ShareFrameHeader*>(m_writer->lock(100));
        QVERIFY(header);
        header->format = kShareFormatI420;
        header->width = 4096;
        header->height = 4096;
        header->version = 3;
        m_writer->unlock();

        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        m_host->changeView(instance, 16, 16, true);
        m_host->advance(300);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 1);
        QCOMPARE(int(m_host->console().size()), 1);
        QVERIFY(QString::fromStdString(m_host->console().front()).contains("past the mapped section"));
        shutDownClean();
    }

    void headerChangedWhilePainting_data()
    {
        QTest::addColumn<uint32_t>("format");
        QTest::addColumn<uint32_t>("width");
        QTest::addColumn<uint32_t>("height");
        QTest::newRow("grown to 4096 x 4096") << kShareFormatI420 << 4096u << 4096u;
        QTest::newRow("turned into NV12") << kShareFormatNV12 << 16u << 16u;
        QTest::newRow("unknown format") << 77u << 16u << 16u;
    }

    // A writer that changes the header without the lock while a frame is being painted: the frame is painted as
    // it was when the plug-in took it, never read past the section.
    void headerChangedWhilePainting()
    {
        QFETCH(uint32_t, format);
        QFETCH(uint32_t, width);
        QFETCH(uint32_t, height);
        m_writer = CShareFrameWriter::create(m_section.c_str(), true, 4096);
        QVERIFY(m_writer);
        auto* live = static_cast<ShareFrameHeader*>(m_writer->lock(100));
        QVERIFY(live);
        m_writer->unlock();
        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        m_host->changeView(instance, 16, 16, true);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 1); // black

        QVERIFY(writeFrame(kRed, 16, 16));
        m_host->setOnImageCreation([live, format, width, height] {
            live->format = format;
            live->width = width;
            live->height = height;
            live->pixelBytes = 0xFFFFFFFFu;
        });
        m_host->advance(50);
        m_host->setOnImageCreation(nullptr);
        completeAllFlushes();
        QCOMPARE(int(m_host->pictures().size()), 2);
        QVERIFY(showsColour(m_host->pictures().back(), kRed));
        QVERIFY(m_host->console().empty());
        shutDownClean();
    }

    // Pictures the browser cannot make are neither painted nor queued; nothing is lost once it can again.
    void pictureNotCreated()
    {
        const PP_Instance instance = start();
        sendInit(instance, m_viewId);
        m_host->setFailImageCreation(true);
        QVERIFY(writeFrame(kRed));
        m_host->changeView(instance, 16, 16, true);
        m_host->advance(100);
        QCOMPARE(int(m_host->pictures().size()), 0);
        QCOMPARE(m_host->pendingFlushes(), 0);
        m_host->setFailImageCreation(false);
        QVERIFY(writeFrame(kGreen));
        m_host->advance(50);
        QCOMPARE(int(m_host->pictures().size()), 1);
        QVERIFY(showsColour(m_host->pictures().back(), kGreen));
        shutDownClean();
    }

    // Instances go while their poll and flush are pending: the late callbacks do nothing, and two instances
    // paint their own sections.
    void instancesComeAndGo()
    {
        const PP_Instance first = start();
        const PP_Instance second = m_host->createInstance();
        QVERIFY(first && second);
        sendInit(first, m_viewId);
        sendInit(second, m_viewId);
        QVERIFY(writeFrame(kBlue));
        m_host->changeView(first, 16, 16, true);
        m_host->changeView(second, 8, 8, true);
        m_host->destroyInstance(first);
        completeAllFlushes();
        m_host->advance(200);
        for (const PluginHost::Picture& picture : m_host->pictures())
            QVERIFY(picture.instance == first || picture.instance == second);
        QCOMPARE(m_host->pictures().back().instance, second);
        QVERIFY(showsColour(m_host->pictures().back(), kBlue));
        QCOMPARE(m_host->pendingWork(), 1); // the second's chain only
        shutDownClean();
    }
};

ZM_TEST_MAIN_CORE(TestVideoPlugin)
#include "tst_videoplugin.moc"
