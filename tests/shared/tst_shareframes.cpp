// The shared camera frame sections between two processes: names, the header and packed pixels as a second
// process reads them, frames dropped whole, the lock with contention, time-outs and a holder that dies, sharing
// and reopening a section, hostile headers, a writer process that ignores the lock or resizes the section, and the
// clean-up at program start.
#include "ShareFrameChild.h"
#include "ZmTestMain.h"

#include "shared/CShareFrameReader.h"
#include "shared/CShareFrameWriter.h"
#include "shared/CShareMemory.h"
#include "shared/ShareFrameLayout.h"
#include "shared/ShareLock.h"
#include "shared/ShareLog.h"
#include "shared/ShareNames.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QtTest>

#include <cstring>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

QStringList g_logLines;

void captureLog(ShareLogLevel, const std::string& message)
{
    g_logLines << QString::fromStdString(message);
}

uint32_t checksum(const uint8_t* data, uint64_t size)
{
    return shareFrameChecksum(data, size);
}

// A camera picture with padded rows, as an engine hands it over, and its expected packed form.
struct TestPicture
{
    int width;
    int height;
    int yStride;
    int uvStride;
    std::vector<uint8_t> y, u, v;

    TestPicture(int w, int h, int yPadding, int uvPadding, uint8_t seed)
        : width(w)
        , height(h)
        , yStride(w + yPadding)
        , uvStride((w + 1) / 2 + uvPadding)
    {
        const int chromaRows = (h + 1) / 2;
        y.resize(size_t(yStride) * h);
        u.resize(size_t(uvStride) * chromaRows);
        v.resize(size_t(uvStride) * chromaRows);
        for (size_t i = 0; i < y.size(); ++i)
            y[i] = uint8_t(i * 7 + seed);
        for (size_t i = 0; i < u.size(); ++i)
            u[i] = uint8_t(i * 13 + seed + 1);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = uint8_t(i * 5 + seed + 2);
    }

    I420FrameView view() const
    {
        I420FrameView frame;
        frame.width = width;
        frame.height = height;
        frame.y = y.data();
        frame.u = u.data();
        frame.v = v.data();
        frame.yStride = yStride;
        frame.uStride = uvStride;
        frame.vStride = uvStride;
        return frame;
    }

    std::vector<uint8_t> packed() const
    {
        std::vector<uint8_t> out;
        const int chromaWidth = (width + 1) / 2;
        for (int row = 0; row < height; ++row)
            out.insert(out.end(), y.begin() + row * yStride, y.begin() + row * yStride + width);
        for (const auto* plane : {&u, &v}) {
            for (int row = 0; row < (height + 1) / 2; ++row)
                out.insert(out.end(), plane->begin() + row * uvStride, plane->begin() + row * uvStride + chromaWidth);
        }
        return out;
    }

    uint32_t packedChecksum() const
    {
        const std::vector<uint8_t> bytes = packed();
        return checksum(bytes.data(), bytes.size());
    }
};

// Publishes from a thread of its own, as the engine's video thread does.
bool publishOnVideoThread(CShareFrameWriter* writer, const I420FrameView& frame)
{
    bool written = false;
    std::thread videoThread([&] {
        if (writer->lock(1000)) {
            written = writer->writeFrame(frame);
            writer->unlock();
        }
    });
    videoThread.join();
    return written;
}

QString frameLine(uint32_t version, int width, int height, uint32_t checksumValue)
{
    const uint64_t bytes = packedYuv420Bytes(uint32_t(width), uint32_t(height));
    return QStringLiteral("frame %1 %2 %3 2 %4 %5").arg(version).arg(width).arg(height).arg(bytes).arg(checksumValue);
}

ShareFrameHeader headerOf(const void* section)
{
    ShareFrameHeader header;
    std::memcpy(&header, section, sizeof(header));
    return header;
}

} // namespace

class TestShareFrames : public QObject
{
    Q_OBJECT

    int m_counter = 0;
    std::string m_name;

    std::string freshName()
    {
        return shareSectionName("tst" + std::to_string(::getpid()) + "_" + std::to_string(++m_counter));
    }

private slots:
    void init()
    {
        g_logLines.clear();
        setShareLogHandler(&captureLog);
        m_name = freshName();
    }

    void cleanup()
    {
        removeShareObjects(m_name);
        setShareLogHandler(nullptr);
    }

    void viewIds_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valid");
        QTest::newRow("letters digits") << "Video_12-ab" << true;
        QTest::newRow("longest") << QString(int(kMaxShareViewIdLength), 'a') << true;
        QTest::newRow("too long") << QString(int(kMaxShareViewIdLength) + 1, 'a') << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("climbing") << "x/../../y" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("space") << "a b" << false;
        QTest::newRow("non ascii") << QString::fromUtf8("vidéo") << false;
    }

    // Ids from web content: refused ids make no name, and the writer and reader refuse names built from them.
    void viewIds()
    {
        QFETCH(QString, id);
        QFETCH(bool, valid);
        const std::string viewId = id.toStdString();
        QCOMPARE(isValidShareViewId(viewId), valid);
        const std::string section = shareSectionName(viewId);
        QCOMPARE(section.empty(), !valid);
        if (valid) {
            std::string posixName;
            QVERIFY(sharePosixName(section.c_str(), &posixName));
            QCOMPARE(QString::fromStdString(posixName),
                     QString::fromStdString("/" + shareObjectPrefix()) + QStringLiteral("RiREZadUruvoDur_%1").arg(id));
            return;
        }
        if (viewId.empty())
            return;
        QCOMPARE(g_logLines.size(), 1);
        const std::string raw = kShareSectionPrefix + viewId;
        QVERIFY(!CShareFrameWriter::create(raw.c_str(), true, int(kShareSectionSize)));
        QVERIFY(!CShareFrameReader::create(raw.c_str()));
        const QStringList leftovers =
            QDir("/dev/shm").entryList({QString::fromStdString(shareObjectPrefix()) + QStringLiteral("*")});
        QVERIFY2(leftovers.filter(QStringLiteral("RiREZadUruvoDur_")).filter(id.left(1)).isEmpty(),
                 qPrintable(leftovers.join(' ')));
    }

    // A new section: capacity, version "none", then the black frame as another process reads it.
    void freshSectionAndBlackFrame()
    {
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        QCOMPARE(writer->sectionSize(), kShareSectionSize);
        void* section = writer->lock(100);
        QVERIFY(section);
        ShareFrameHeader header = headerOf(section);
        QCOMPARE(header.capacity, uint32_t(921600));
        QCOMPARE(header.version, kShareVersionNone);
        QCOMPARE(header.width, 0u);
        QCOMPARE(header.format, 0u);
        QVERIFY(!writer->writeBlackFrame(0, 480));
        QVERIFY(writer->writeBlackFrame(640, 480));
        header = headerOf(section);
        writer->unlock();
        QCOMPARE(header.version, 0u);
        QCOMPARE(header.pixelBytes, 460800u);
        QCOMPARE(header.format, kShareFormatI420);
        const uint32_t planes[] = {header.yStride, header.yOffset, header.uStride,
                                   header.uOffset, header.vStride, header.vOffset};
        const uint32_t expected[] = {640, 0, 320, 307200, 320, 384000};
        QVERIFY(std::equal(std::begin(planes), std::end(planes), std::begin(expected)));

        std::vector<uint8_t> black(640 * 480, 16);
        black.resize(460800, 128);
        ShareFrameChild child({"read", QString::fromStdString(m_name), "1", "60000"});
        QCOMPARE(child.nextLine(), QStringLiteral("ready"));
        // The reader counts the black frame as new: its version 0 differs from "none".
        QCOMPARE(child.nextLine(), frameLine(0, 640, 480, checksum(black.data(), black.size())));
        QCOMPARE(child.finish(), 0);
    }

    void packing_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("yPadding");
        QTest::addColumn<int>("uvPadding");
        QTest::newRow("640x480 tight") << 640 << 480 << 0 << 0;
        QTest::newRow("640x480 stride 672") << 640 << 480 << 32 << 16;
        QTest::newRow("642x480 padded") << 642 << 480 << 14 << 7;
        QTest::newRow("641x479 odd") << 641 << 479 << 3 << 5;
        QTest::newRow("1x1") << 1 << 1 << 0 << 0;
        QTest::newRow("3x5 padded") << 3 << 5 << 61 << 30;
    }

    // Frames published on a video thread arrive packed in another process, whatever their strides.
    void packing()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, yPadding);
        QFETCH(int, uvPadding);
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        ShareFrameChild child({"read", QString::fromStdString(m_name), "1", "60000"});
        QCOMPARE(child.nextLine(), QStringLiteral("ready"));

        const TestPicture picture(width, height, yPadding, uvPadding, 3);
        QVERIFY(publishOnVideoThread(writer.get(), picture.view()));
        QCOMPARE(child.nextLine(), frameLine(0, width, height, picture.packedChecksum()));
        QCOMPARE(child.finish(), 0);

        void* section = writer->lock(100);
        QVERIFY(section);
        const ShareFrameHeader header = headerOf(section);
        writer->unlock();
        const uint32_t chromaWidth = uint32_t(width + 1) / 2;
        const uint32_t ySize = uint32_t(width * height);
        const uint32_t chromaSize = chromaWidth * (uint32_t(height + 1) / 2);
        QCOMPARE(header.yStride, uint32_t(width));
        QCOMPARE(header.uStride, chromaWidth);
        QCOMPARE(header.vStride, chromaWidth);
        QCOMPARE(header.uOffset, ySize);
        QCOMPARE(header.vOffset, ySize + chromaSize);
        QCOMPARE(header.pixelBytes, ySize + 2 * chromaSize);
    }

    void droppedFrames_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("yStride");
        QTest::addColumn<int>("uvStride");
        QTest::addColumn<bool>("nullPlane");
        QTest::newRow("1280x720 too large") << 1280 << 720 << 1280 << 640 << false;
        QTest::newRow("Y stride short") << 640 << 480 << 600 << 320 << false;
        QTest::newRow("chroma stride short") << 641 << 480 << 641 << 320 << false;
        QTest::newRow("negative stride") << 64 << 48 << -64 << 32 << false;
        QTest::newRow("no plane") << 64 << 48 << 64 << 32 << true;
        QTest::newRow("zero width") << 0 << 48 << 64 << 32 << false;
        QTest::newRow("wider than 4096") << 4097 << 1 << 4097 << 2049 << false;
    }

    // A frame that cannot be stored whole changes nothing: header, pixels and version stay.
    void droppedFrames()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, yStride);
        QFETCH(int, uvStride);
        QFETCH(bool, nullPlane);
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        const TestPicture good(320, 240, 0, 0, 9);
        QVERIFY(publishOnVideoThread(writer.get(), good.view()));
        void* section = writer->lock(100);
        QVERIFY(section);
        std::vector<uint8_t> before(static_cast<uint8_t*>(section), static_cast<uint8_t*>(section) + 64 + 115200);
        writer->unlock();

        std::vector<uint8_t> pixels(size_t(1280) * 720 * 2, 77);
        I420FrameView bad;
        bad.width = width;
        bad.height = height;
        bad.y = nullPlane ? nullptr : pixels.data();
        bad.u = pixels.data();
        bad.v = pixels.data();
        bad.yStride = yStride;
        bad.uStride = uvStride;
        bad.vStride = uvStride;
        QVERIFY(!publishOnVideoThread(writer.get(), bad));

        section = writer->lock(100);
        QVERIFY(section);
        const std::vector<uint8_t> after(static_cast<uint8_t*>(section),
                                         static_cast<uint8_t*>(section) + before.size());
        writer->unlock();
        QVERIFY(before == after);
        QCOMPARE(headerOf(after.data()).version, 0u);
    }

    // Only-new reads by version, the lock given back on every null, and the reader's open and close.
    void readerVersionsAndOpen()
    {
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        auto reader = CShareFrameReader::create(m_name.c_str());
        QVERIFY(reader);

        QVERIFY(!reader->lock(100, true)); // nothing written yet
        QVERIFY(writer->lock(0));          // ... and the lock was given back
        writer->unlock();
        QVERIFY(!reader->lock(100, false)); // no frame yet, even when asked for
        QVERIFY(writer->lock(0));
        writer->unlock();

        QVERIFY(publishOnVideoThread(writer.get(), TestPicture(8, 8, 0, 0, 1).view()));
        const ShareFrame* frame = reader->lock(100, true);
        QVERIFY(frame);
        QCOMPARE(frame->header.width, 8u);
        QVERIFY(!writer->lock(0)); // held by the reader
        reader->unlock();
        QVERIFY(!reader->lock(100, true)); // seen already
        QVERIFY(writer->lock(0));
        writer->unlock();
        QVERIFY(reader->lock(100, false)); // seen, but asked for
        reader->unlock();

        reader->close();
        QVERIFY(!reader->lock(0, false));

        QVERIFY(!CShareFrameReader::create(""));
        QVERIFY(!CShareFrameReader::create(nullptr));
        const std::string tooLong = kShareSectionPrefix + std::string(kMaxShareViewIdLength + 1, 'a');
        QVERIFY(!CShareFrameReader::create(tooLong.c_str()));
        QVERIFY2(g_logLines.isEmpty(), qPrintable(g_logLines.join('\n')));

        // A lock without its section, and a section shorter than the header, do not open.
        const std::string lonely = freshName();
        ShareLock lock;
        QVERIFY(lock.create(shareLockName(lonely).c_str()));
        CShareFrameReader_imp halfReader;
        QVERIFY(!halfReader.open(lonely.c_str()));
        QVERIFY(!halfReader.hasSection());
        CShareMemory shortSection;
        QVERIFY(shortSection.create(lonely.c_str(), 32));
        QVERIFY(!CShareFrameReader::create(lonely.c_str()));
        QVERIFY(!CShareFrameWriter::create(lonely.c_str(), true, 32));
        removeShareObjects(lonely);
    }

    // The lock between processes: a holder makes others wait or time out, and hands over when it lets go.
    void lockContention()
    {
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        QVERIFY(writer->lock(100) && writer->writeBlackFrame(640, 480));
        writer->unlock();
        {
            ShareFrameChild holder({"hold", QString::fromStdString(m_name)});
            QCOMPARE(holder.nextLine(), QStringLiteral("locked"));
            QVERIFY(!writer->lock(20));
            QVERIFY(holder.tell("let go"));
            QVERIFY(writer->lock(ZmTest::kWaitMs)); // obtained once the holder lets go
            QCOMPARE(holder.nextLine(), QStringLiteral("released"));
            writer->unlock();
            QCOMPARE(holder.finish(), 0);
        }
        QVERIFY(writer->lock(100));
        {
            ShareFrameChild waiter({"try", QString::fromStdString(m_name), "50"});
            QCOMPARE(waiter.nextLine(), QStringLiteral("timeout"));
        }
        writer->unlock();
        writer->unlock(); // a second give-back does not raise the lock above one
        {
            ShareFrameChild waiter({"try", QString::fromStdString(m_name), "1000"});
            QCOMPARE(waiter.nextLine(), QStringLiteral("got"));
        }
        QVERIFY(writer->lock(100));
        QVERIFY(!writer->lock(0)); // taken already
        writer->unlock();
    }

    // A reader process killed while holding the lock does not stop frames: the writer takes the lock over.
    void killedHolderRecovers()
    {
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        QVERIFY(writer->lock(100) && writer->writeBlackFrame(640, 480));
        writer->unlock();
        ShareFrameChild holder({"holdforever", QString::fromStdString(m_name)});
        QCOMPARE(holder.nextLine(), QStringLiteral("locked"));
        QVERIFY(!writer->lock(20));
        holder.killNow();
        QVERIFY(writer->lock(ZmTest::kWaitMs));
        QVERIFY(writer->writeBlackFrame(16, 16));
        writer->unlock();
        QVERIFY(g_logLines.join('\n').contains("taken over"));
        QVERIFY(writer->lock(0)); // and it works as before
        writer->unlock();
    }

    // Two users shown in one view write into one section; closing one leaves the other working.
    void twoWritersShareView()
    {
        auto first = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        auto second = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(first && second);
        auto reader = CShareFrameReader::create(m_name.c_str());
        QVERIFY(reader);
        const TestPicture a(32, 16, 0, 0, 1);
        const TestPicture b(16, 32, 0, 0, 2);
        for (int round = 0; round < 2; ++round) {
            QVERIFY(publishOnVideoThread(first.get(), a.view()));
            const ShareFrame* frame = reader->lock(100, true);
            QVERIFY(frame);
            QCOMPARE(frame->header.width, 32u);
            QCOMPARE(checksum(frame->pixels, frame->pixelBytes), a.packedChecksum());
            const uint32_t version = frame->header.version;
            reader->unlock();
            QVERIFY(publishOnVideoThread(second.get(), b.view()));
            frame = reader->lock(100, true);
            QVERIFY(frame);
            QCOMPARE(frame->header.width, 16u);
            QCOMPARE(frame->header.version, version + 1);
            reader->unlock();
        }
        second.reset();
        // A writer may also only open: the section as it is, and nothing where there is none.
        second = CShareFrameWriter::create(m_name.c_str(), false, 0);
        QVERIFY(second);
        QCOMPARE(second->sectionSize(), kShareSectionSize);
        QVERIFY(!CShareFrameWriter::create(freshName().c_str(), false, 0));
        QVERIFY(publishOnVideoThread(first.get(), a.view()));
        QVERIFY(reader->lock(100, true));
        reader->unlock();
    }

    // A view hidden and shown again under its id: the new writer reopens the section the reader still holds.
    void viewShownAgain()
    {
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        ShareFrameChild child({"read", QString::fromStdString(m_name), "2", "60000"});
        QCOMPARE(child.nextLine(), QStringLiteral("ready"));
        const TestPicture before(64, 48, 0, 0, 4);
        QVERIFY(publishOnVideoThread(writer.get(), before.view()));
        QCOMPARE(child.nextLine(), frameLine(0, 64, 48, before.packedChecksum()));

        writer.reset(); // hidden: the entry and its writer go, the objects stay and keep their version
        writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer);
        const TestPicture after(48, 64, 8, 4, 5);
        QVERIFY(publishOnVideoThread(writer.get(), after.view()));
        QCOMPARE(child.nextLine(), frameLine(1, 48, 64, after.packedChecksum()));
        QCOMPARE(child.finish(), 0);
    }

    void hostileSection_data()
    {
        QTest::addColumn<uint32_t>("format");
        QTest::addColumn<uint32_t>("width");
        QTest::addColumn<uint32_t>("height");
        QTest::addColumn<uint32_t>("pixelBytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("4096x4096 in 4 KiB") << 2u << 4096u << 4096u << 0u << "past the mapped section";
        QTest::newRow("NV12 past the end") << 1u << 64u << 64u << 0u << "past the mapped section";
        QTest::newRow("unknown format") << 3u << 16u << 16u << 0u << "unknown pixel format";
        QTest::newRow("huge width") << 2u << 0x80000000u << 1u << 0u << "outside 1..4096";
        QTest::newRow("zero height") << 2u << 16u << 0u << 0u << "outside 1..4096";
        QTest::newRow("byte count short") << 2u << 16u << 16u << 100u << "byte count";
    }

    // A section whose header lies about its frame is read as "no new frame", logged once, never read past.
    void hostileSection()
    {
        QFETCH(uint32_t, format);
        QFETCH(uint32_t, width);
        QFETCH(uint32_t, height);
        QFETCH(uint32_t, pixelBytes);
        QFETCH(QString, reason);
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, 4096);
        QVERIFY(writer);
        auto* section = static_cast<ShareFrameHeader*>(writer->lock(100));
        QVERIFY(section);
        section->format = format;
        section->width = width;
        section->height = height;
        section->pixelBytes = pixelBytes;
        section->version = 7;
        writer->unlock();

        auto reader = CShareFrameReader::create(m_name.c_str());
        QVERIFY(reader);
        QVERIFY(!reader->lock(100, true));
        QVERIFY(!reader->lock(100, false));
        QCOMPARE(g_logLines.size(), 1);
        QVERIFY2(g_logLines.first().contains(reason), qPrintable(g_logLines.first()));
        QVERIFY(writer->lock(0)); // the lock was given back each time
        QVERIFY(writer->writeBlackFrame(16, 16));
        writer->unlock();
        QVERIFY(reader->lock(100, true)); // a sound frame later is read as usual
        reader->unlock();
    }

    void hostileWriter_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("whileHeld");
        QTest::addColumn<QString>("refusal");
        const QStringList none;
        QTest::newRow("frame grown while held")
            << none << QStringList{"width=4096", "height=4096", "format=1"} << QString();
        QTest::newRow("byte count and version changed while held")
            << none << QStringList{"pixelBytes=4294967295", "version=99"} << QString();
        QTest::newRow("cut below the frame") << QStringList{"size=4096"} << none << "past the mapped section";
        QTest::newRow("cut below the header") << QStringList{"size=32"} << none << "smaller than its header";
        QTest::newRow("emptied") << QStringList{"size=0"} << none << "smaller than its header";
        QTest::newRow("grown past the mapping")
            << QStringList{"size=4194304", "width=1280", "height=720"} << none << "past the mapped section";
        QTest::newRow("huge dimensions") << QStringList{"width=4294967295", "height=4294967295"} << none
                                         << "outside 1..4096";
        QTest::newRow("unknown format") << QStringList{"format=4294967295"} << none << "unknown pixel format";
    }

    // Another process that writes without the lock, or resizes the section after the reader mapped it: the
    // reader hands out only frames it can read whole, and the frame it handed out stays as it was checked.
    void hostileWriter()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, whileHeld);
        QFETCH(QString, refusal);
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, 8192);
        QVERIFY(writer);
        const TestPicture picture(64, 48, 0, 0, 6);
        QVERIFY(publishOnVideoThread(writer.get(), picture.view()));
        auto reader = CShareFrameReader::create(m_name.c_str());
        QVERIFY(reader);
        const QString section = QString::fromStdString(m_name);
        if (!before.isEmpty()) {
            ShareFrameChild hostile(QStringList{"hostile", section} + before);
            QCOMPARE(hostile.nextLine(), QStringLiteral("done"));
        }

        const ShareFrame* frame = reader->lock(1000, false);
        QCOMPARE(frame == nullptr, !refusal.isEmpty());
        if (!frame) {
            QCOMPARE(g_logLines.size(), 1);
            QVERIFY2(g_logLines.first().contains(refusal), qPrintable(g_logLines.first()));
            QVERIFY(writer->lock(0)); // given back
            writer->unlock();
            return;
        }
        if (!whileHeld.isEmpty()) {
            ShareFrameChild hostile(QStringList{"hostile", section} + whileHeld);
            QCOMPARE(hostile.nextLine(), QStringLiteral("done"));
        }
        QCOMPARE(frame->header.width, 64u);
        QCOMPARE(frame->header.height, 48u);
        QCOMPARE(frame->header.format, kShareFormatI420);
        QCOMPARE(frame->header.version, 0u);
        QCOMPARE(frame->pixelBytes, size_t(64 * 48 * 3 / 2));
        QCOMPARE(checksum(frame->pixels, frame->pixelBytes), picture.packedChecksum());
        reader->unlock();
        QVERIFY(g_logLines.isEmpty());
    }

    // Program start removes the objects of this user and scope that no process has open; removing one section
    // leaves the others.
    void staleObjectsRemoved()
    {
        const std::string other = freshName();
        const std::string held = freshName();
        auto writer = CShareFrameWriter::create(m_name.c_str(), true, int(kShareSectionSize));
        auto otherWriter = CShareFrameWriter::create(other.c_str(), true, int(kShareSectionSize));
        auto heldWriter = CShareFrameWriter::create(held.c_str(), true, int(kShareSectionSize));
        QVERIFY(writer && otherWriter && heldWriter);
        removeShareObjects(m_name);
        QVERIFY(!CShareFrameReader::create(m_name.c_str()));
        QVERIFY(CShareFrameReader::create(other.c_str()));

        // Only another process has held's objects open; nobody other's.
        ShareFrameChild reader({"read", QString::fromStdString(held), "1000", "60000"});
        QCOMPARE(reader.nextLine(), QStringLiteral("ready"));
        heldWriter.reset();
        otherWriter.reset();
        QCOMPARE(removeStaleShareObjects(), 2);
        QVERIFY(!CShareFrameReader::create(other.c_str()));
        QVERIFY(CShareFrameReader::create(held.c_str()));

        reader.killNow();
        QCOMPARE(removeStaleShareObjects(), 2);
        const QStringList left = QDir("/dev/shm")
                                     .entryList({QString::fromStdString(shareObjectPrefix()) + QStringLiteral("*")},
                                                QDir::System | QDir::Files);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
        // A writer still holding a removed section keeps working; a new writer makes new objects.
        QVERIFY(writer->lock(100));
        writer->unlock();
        QVERIFY(CShareFrameWriter::create(other.c_str(), true, int(kShareSectionSize)));
        removeShareObjects(other);
    }

    void scopesKeptApart_data()
    {
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QString>("otherScope");
        const QString own = QStringLiteral("h%1").arg(::getpid());
        QTest::newRow("a scope, and one that starts like it") << own << own + "-x";
        QTest::newRow("a scope, and the start of it") << own + "-x" << own;
        QTest::newRow("no scope, and a scope") << QString() << own;
        QTest::newRow("no scope, and a scope named like a section") << QString() << "RiREZadUruvoDur_";
        QTest::newRow("a scope, and no scope") << own << QString();
    }

    // The clean-up of one scope removes its own stale objects and nothing of another scope's.
    void scopesKeptApart()
    {
        QFETCH(QString, scope);
        QFETCH(QString, otherScope);
        const QByteArray saved = qgetenv("ZM_SHARE_SCOPE");
        const auto restore = qScopeGuard([saved] { qputenv("ZM_SHARE_SCOPE", saved); });
        // Stale objects under one name in both scopes: made, then closed.
        const auto makeStale = [this](const QString& inScope) {
            qputenv("ZM_SHARE_SCOPE", inScope.toUtf8());
            std::string section;
            std::string lock;
            const bool made = CShareFrameWriter::create(m_name.c_str(), true, 4096) &&
                              sharePosixName(m_name.c_str(), &section) &&
                              sharePosixName(shareLockName(m_name).c_str(), &lock);
            return made ? QStringList{"/dev/shm" + QString::fromStdString(section),
                                      "/dev/shm" + QString::fromStdString(lock)}
                        : QStringList();
        };
        const QStringList others = makeStale(otherScope);
        const QStringList own = makeStale(scope);
        QCOMPARE(others.size(), 2);
        QCOMPARE(own.size(), 2);
        QVERIFY(removeStaleShareObjects() >= 2);
        for (const QString& path : own)
            QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
        for (const QString& path : others)
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        qputenv("ZM_SHARE_SCOPE", otherScope.toUtf8());
        removeShareObjects(m_name);
    }
};

ZM_TEST_MAIN_CORE(TestShareFrames)
#include "tst_shareframes.moc"
