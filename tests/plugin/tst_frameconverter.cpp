// The plug-in's converter: packed YUV pictures of a section into BGRA rows of any stride, at any size, with one
// cached scaling context per combination of sizes and formats.
#include "ZmTestMain.h"

#include "plugin/FrameConverter.h"
#include "shared/ShareFrameLayout.h"

#include <QtTest>

#include <cstdlib>
#include <vector>

namespace {

// A packed picture of one colour (BT.601 limited range), in I420 or NV12.
std::vector<uint8_t> solidPicture(AVPixelFormat format, int width, int height, uint8_t y, uint8_t u, uint8_t v)
{
    const size_t ySize = size_t(width) * height;
    const size_t chroma = size_t((width + 1) / 2) * ((height + 1) / 2);
    std::vector<uint8_t> picture(ySize + 2 * chroma, y);
    if (format == AV_PIX_FMT_NV12) {
        for (size_t i = 0; i < chroma; ++i) {
            picture[ySize + 2 * i] = u;
            picture[ySize + 2 * i + 1] = v;
        }
    } else {
        std::fill(picture.begin() + long(ySize), picture.begin() + long(ySize + chroma), u);
        std::fill(picture.begin() + long(ySize + chroma), picture.end(), v);
    }
    return picture;
}

} // namespace

class TestFrameConverter : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { freeScaleContexts(); }

    void formatNames()
    {
        const std::map<int, std::string> expected = {{1, "NV12"}, {2, "YUV420P"}};
        QVERIFY(FrameFormatNames() == expected);
        QVERIFY(isKnownFrameFormat(int(kShareFormatI420)) && isKnownFrameFormat(int(kShareFormatNV12)));
        QVERIFY(!isKnownFrameFormat(0) && !isKnownFrameFormat(3));
    }

    void convert_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("srcWidth");
        QTest::addColumn<int>("srcHeight");
        QTest::addColumn<int>("dstWidth");
        QTest::addColumn<int>("dstHeight");
        QTest::addColumn<int>("padding");
        QTest::newRow("I420 640x480 to 320x240") << int(AV_PIX_FMT_YUV420P) << 640 << 480 << 320 << 240 << 0;
        QTest::newRow("I420 same size, padded rows") << int(AV_PIX_FMT_YUV420P) << 160 << 120 << 160 << 120 << 52;
        QTest::newRow("I420 odd sizes, upscaled") << int(AV_PIX_FMT_YUV420P) << 33 << 17 << 101 << 77 << 12;
        QTest::newRow("NV12 1280x720 to 640x360") << int(AV_PIX_FMT_NV12) << 1280 << 720 << 640 << 360 << 16;
        QTest::newRow("NV12 odd width") << int(AV_PIX_FMT_NV12) << 31 << 9 << 62 << 18 << 0;
    }

    // A red picture comes out red everywhere, in rows of the given stride, leaving the row padding alone.
    void convert()
    {
        QFETCH(int, format);
        QFETCH(int, srcWidth);
        QFETCH(int, srcHeight);
        QFETCH(int, dstWidth);
        QFETCH(int, dstHeight);
        QFETCH(int, padding);
        const auto source = AVPixelFormat(format);
        const std::vector<uint8_t> picture = solidPicture(source, srcWidth, srcHeight, 81, 90, 240);
        const int stride = dstWidth * 4 + padding;
        std::vector<uint8_t> bgra(size_t(stride) * dstHeight, 0xA5);

        const int contextsBefore = scaleContextCount();
        QVERIFY(convertFrame(source, picture.data(), picture.size(), srcWidth, srcHeight, AV_PIX_FMT_BGRA, dstWidth,
                             dstHeight, bgra.data(), stride));
        QCOMPARE(scaleContextCount(), contextsBefore + 1);
        for (int y = 0; y < dstHeight; ++y) {
            const uint8_t* row = bgra.data() + size_t(y) * stride;
            for (int x = 0; x < dstWidth; ++x) {
                const uint8_t* p = row + x * 4;
                QVERIFY2(p[0] < 12 && p[1] < 12 && p[2] > 243 && p[3] == 255,
                         qPrintable(QStringLiteral("(%1,%2) = %3 %4 %5").arg(x).arg(y).arg(p[2]).arg(p[1]).arg(p[0])));
            }
            for (int i = dstWidth * 4; i < stride; ++i)
                QCOMPARE(row[i], uint8_t(0xA5));
        }
        // The same sizes again reuse the context.
        QVERIFY(convertFrame(source, picture.data(), picture.size(), srcWidth, srcHeight, AV_PIX_FMT_BGRA, dstWidth,
                             dstHeight, bgra.data(), stride));
        QCOMPARE(scaleContextCount(), contextsBefore + 1);
        QCOMPARE(getScaleContext(source, srcWidth, srcHeight, AV_PIX_FMT_BGRA, dstWidth, dstHeight)->dstWidth,
                 dstWidth);
    }

    // Sizes FFmpeg refuses give no context and nothing cached, so a later call tries again.
    void refusedSizes()
    {
        const std::vector<uint8_t> picture = solidPicture(AV_PIX_FMT_YUV420P, 16, 16, 16, 128, 128);
        std::vector<uint8_t> bgra(16 * 16 * 4);
        const int contexts = scaleContextCount();
        QVERIFY(!convertFrame(AV_PIX_FMT_YUV420P, picture.data(), picture.size(), 16, 16, AV_PIX_FMT_BGRA, 0, 0,
                              bgra.data(), 0));
        QVERIFY(!getScaleContext(AV_PIX_FMT_YUV420P, 0, 16, AV_PIX_FMT_BGRA, 16, 16));
        QCOMPARE(scaleContextCount(), contexts);
        QVERIFY(!convertFrame(AV_PIX_FMT_YUV420P, nullptr, 0, 16, 16, AV_PIX_FMT_BGRA, 16, 16, bgra.data(), 0));
    }
};

ZM_TEST_MAIN_CORE(TestFrameConverter)
#include "tst_frameconverter.moc"
