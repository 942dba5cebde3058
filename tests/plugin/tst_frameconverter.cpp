// The plug-in's converter: packed YUV pictures of a section into BGRA rows of any stride, at any size, with one
// cached scaling context per combination of sizes and formats; scaled pictures look as FFmpeg's bicubic conversion
// straight into BGRA makes them.
#include "ZmTestMain.h"

#include "plugin/FrameConverter.h"
#include "shared/ShareFrameLayout.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

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

// Smooth random texture in [0, 1): values on a grid of cell pixels, interpolated (deterministic for a seed).
class ValueNoise
{
public:
    ValueNoise(uint32_t seed, int cell)
        : m_seed(seed)
        , m_cell(cell)
    {
    }

    double at(int x, int y) const
    {
        const int cx = x / m_cell;
        const int cy = y / m_cell;
        const double fx = smooth(double(x % m_cell) / m_cell);
        const double fy = smooth(double(y % m_cell) / m_cell);
        const double top = lattice(cx, cy) + (lattice(cx + 1, cy) - lattice(cx, cy)) * fx;
        const double bottom = lattice(cx, cy + 1) + (lattice(cx + 1, cy + 1) - lattice(cx, cy + 1)) * fx;
        return top + (bottom - top) * fy;
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }

    double lattice(int x, int y) const
    {
        uint32_t h = m_seed ^ (uint32_t(x) * 0x8DA6B343u) ^ (uint32_t(y) * 0xD8163841u);
        h = (h ^ (h >> 13)) * 0x5BD1E995u;
        return double((h ^ (h >> 15)) & 0xFFFF) / 65536.0;
    }

    uint32_t m_seed;
    int m_cell;
};

struct Rgb
{
    double r, g, b;
};

Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A landscape: a sky turning pale towards the horizon, a soft sun, rolling hills with grass texture and a dark
// fence with sharp edges in front.
Rgb landscape(int x, int y, int width, int height, const ValueNoise& fine, const ValueNoise& coarse)
{
    const double u = double(x) / width;
    const double v = double(y) / height;
    const double horizon = 0.55 + 0.08 * std::sin(u * 7.0) + 0.05 * (coarse.at(x, 0) - 0.5);
    Rgb colour;
    if (v < horizon) {
        colour = mix({40, 90, 200}, {190, 215, 240}, v / horizon);
        colour = mix(colour, {250, 250, 250}, 0.35 * coarse.at(x, y)); // clouds
        const double sun = std::hypot(u - 0.72, (v - 0.18) * height / width) * width;
        colour = mix(colour, {255, 240, 180}, 1.0 - (sun - 40.0) / 30.0);
    } else {
        const double shade = 0.55 + 0.45 * coarse.at(x, y) + 0.25 * (fine.at(x, y) - 0.5);
        colour = {60 * shade, 140 * shade, 50 * shade};
    }
    const bool post = (x % (width / 8)) < width / 80;
    const bool rail = std::abs(v - 0.8) < 0.012 || std::abs(v - 0.88) < 0.012;
    if (v > 0.72 && v < 0.95 && (post || rail))
        colour = {70, 45, 30};
    return colour;
}

// A face at a desk: a shaded skin-coloured oval with eyes, hair, a striped shirt and a lit wall behind.
Rgb portrait(int x, int y, int width, int height, const ValueNoise& fine, const ValueNoise& coarse)
{
    const double u = double(x) / width;
    const double v = double(y) / height;
    Rgb colour = mix({210, 200, 185}, {120, 110, 100}, u * 0.7 + v * 0.3); // the wall
    colour = mix(colour, {255, 255, 255}, 0.15 * coarse.at(x, y));
    const double aspect = double(width) / height;
    const double fx = (u - 0.5) * aspect / 0.17;
    const double fy = (v - 0.42) / 0.3;
    const double face = fx * fx + fy * fy;
    if (face < 1.0) {
        colour = mix({235, 190, 160}, {170, 115, 90}, 0.3 + 0.5 * fx + 0.3 * face);
        for (double eye : {-0.38, 0.38}) {
            if ((fx - eye) * (fx - eye) + (fy + 0.15) * (fy + 0.15) * 4 < 0.02)
                colour = {40, 30, 25};
        }
    } else if (fy < -0.3 && fx * fx + (fy + 0.15) * (fy + 0.15) < 1.45) {
        colour = mix({60, 40, 25}, {20, 12, 8}, fine.at(x, y)); // hair
    } else if (v > 0.74) {
        const bool stripe = int(x + y * 0.2) / 12 % 2 == 0;
        colour = stripe ? Rgb{30, 60, 140} : Rgb{235, 235, 240};
    }
    const double grain = (fine.at(x, y) - 0.5) * 12;
    return {colour.r + grain, colour.g + grain, colour.b + grain};
}

uint8_t clampByte(double value)
{
    return uint8_t(std::clamp(std::lround(value), 0L, 255L));
}

// A packed I420 or NV12 picture of a scene (BT.601 limited range, chroma averaged over 2x2 pixels).
std::vector<uint8_t> scenePicture(const QString& scene, AVPixelFormat format, int width, int height)
{
    const ValueNoise fine(7, 3);
    const ValueNoise coarse(11, 48);
    std::vector<Rgb> rgb(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            rgb[size_t(y) * width + x] = scene == QLatin1String("landscape")
                                             ? landscape(x, y, width, height, fine, coarse)
                                             : portrait(x, y, width, height, fine, coarse);
    }
    const int chromaWidth = (width + 1) / 2;
    const int chromaHeight = (height + 1) / 2;
    const size_t ySize = size_t(width) * height;
    const size_t chroma = size_t(chromaWidth) * chromaHeight;
    std::vector<uint8_t> picture(ySize + 2 * chroma);
    for (size_t i = 0; i < ySize; ++i) {
        const Rgb& p = rgb[i];
        picture[i] = clampByte(16 + 0.2568 * p.r + 0.5041 * p.g + 0.0979 * p.b);
    }
    for (int cy = 0; cy < chromaHeight; ++cy) {
        for (int cx = 0; cx < chromaWidth; ++cx) {
            Rgb sum{0, 0, 0};
            int count = 0;
            for (int y = 2 * cy; y < std::min(2 * cy + 2, height); ++y) {
                for (int x = 2 * cx; x < std::min(2 * cx + 2, width); ++x) {
                    const Rgb& p = rgb[size_t(y) * width + x];
                    sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
                    ++count;
                }
            }
            const Rgb p{sum.r / count, sum.g / count, sum.b / count};
            const uint8_t u = clampByte(128 - 0.1482 * p.r - 0.2910 * p.g + 0.4392 * p.b);
            const uint8_t v = clampByte(128 + 0.4392 * p.r - 0.3678 * p.g - 0.0714 * p.b);
            const size_t at = size_t(cy) * chromaWidth + cx;
            if (format == AV_PIX_FMT_NV12) {
                picture[ySize + 2 * at] = u;
                picture[ySize + 2 * at + 1] = v;
            } else {
                picture[ySize + at] = u;
                picture[ySize + chroma + at] = v;
            }
        }
    }
    return picture;
}

// The picture as FFmpeg's bicubic scaler makes it when it converts straight into packed BGRA rows.
std::vector<uint8_t> directBicubic(AVPixelFormat format, const std::vector<uint8_t>& picture, int srcWidth,
                                   int srcHeight, int dstWidth, int dstHeight)
{
    SwsContext* context = sws_getContext(srcWidth, srcHeight, format, dstWidth, dstHeight, AV_PIX_FMT_BGRA, SWS_BICUBIC,
                                         nullptr, nullptr, nullptr);
    std::vector<uint8_t> bgra(size_t(dstWidth) * dstHeight * 4);
    if (!context)
        return {};
    const int chromaWidth = (srcWidth + 1) / 2;
    const uint8_t* y = picture.data();
    const uint8_t* u = y + size_t(srcWidth) * srcHeight;
    const uint8_t* planes[3] = {y, u, u + size_t(chromaWidth) * ((srcHeight + 1) / 2)};
    const int strides[3] = {srcWidth, format == AV_PIX_FMT_NV12 ? 2 * chromaWidth : chromaWidth, chromaWidth};
    uint8_t* dst[1] = {bgra.data()};
    const int dstStrides[1] = {dstWidth * 4};
    const int rows = sws_scale(context, planes, strides, 0, srcHeight, dst, dstStrides);
    sws_freeContext(context);
    return rows > 0 ? bgra : std::vector<uint8_t>();
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

        // A context for scaling only: at equal size the picture is just converted.
        const int contextsBefore = scaleContextCount();
        const int contextsAfter = contextsBefore + (srcWidth != dstWidth || srcHeight != dstHeight ? 1 : 0);
        QVERIFY(convertFrame(source, picture.data(), picture.size(), srcWidth, srcHeight, AV_PIX_FMT_BGRA, dstWidth,
                             dstHeight, bgra.data(), stride));
        QCOMPARE(scaleContextCount(), contextsAfter);
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
        QCOMPARE(scaleContextCount(), contextsAfter);
    }

    void matchesDirectBicubic_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("srcWidth");
        QTest::addColumn<int>("srcHeight");
        QTest::addColumn<int>("dstWidth");
        QTest::addColumn<int>("dstHeight");
        QTest::addColumn<int>("largest"); // the largest difference of a colour value allowed
        for (const char* scene : {"landscape", "portrait"}) {
            const QString name = QLatin1String(scene);
            QTest::addRow("%s I420 1280x720 to 640x360", scene)
                << name << int(AV_PIX_FMT_YUV420P) << 1280 << 720 << 640 << 360 << 6;
            QTest::addRow("%s I420 640x480 to 160x120", scene)
                << name << int(AV_PIX_FMT_YUV420P) << 640 << 480 << 160 << 120 << 6;
            QTest::addRow("%s I420 320x240 to 481x361", scene)
                << name << int(AV_PIX_FMT_YUV420P) << 320 << 240 << 481 << 361 << 6;
            QTest::addRow("%s NV12 640x360 to 427x240", scene)
                << name << int(AV_PIX_FMT_NV12) << 640 << 360 << 427 << 240 << 6;
            QTest::addRow("%s I420 same size", scene)
                << name << int(AV_PIX_FMT_YUV420P) << 640 << 360 << 640 << 360 << 6;
            // FFmpeg interpolates NV12 chroma between rows; the conversion repeats each chroma row.
            QTest::addRow("%s NV12 same size", scene) << name << int(AV_PIX_FMT_NV12) << 320 << 240 << 320 << 240 << 24;
        }
    }

    // A natural picture comes out as FFmpeg's bicubic conversion straight into BGRA makes it, within rounding (and
    // the chroma rows of NV12 at equal size).
    void matchesDirectBicubic()
    {
        QFETCH(QString, scene);
        QFETCH(int, format);
        QFETCH(int, srcWidth);
        QFETCH(int, srcHeight);
        QFETCH(int, dstWidth);
        QFETCH(int, dstHeight);
        QFETCH(int, largest);
        const auto source = AVPixelFormat(format);
        const std::vector<uint8_t> picture = scenePicture(scene, source, srcWidth, srcHeight);
        const std::vector<uint8_t> expected = directBicubic(source, picture, srcWidth, srcHeight, dstWidth, dstHeight);
        QVERIFY(!expected.empty());
        std::vector<uint8_t> bgra(expected.size());
        QVERIFY(convertFrame(source, picture.data(), picture.size(), srcWidth, srcHeight, AV_PIX_FMT_BGRA, dstWidth,
                             dstHeight, bgra.data(), 0));

        double sum = 0;
        int found = 0;
        size_t foundAt = 0;
        for (size_t i = 0; i < bgra.size(); ++i) {
            const int difference = std::abs(int(bgra[i]) - int(expected[i]));
            sum += difference;
            if (difference > found) {
                found = difference;
                foundAt = i;
            }
        }
        const double mean = sum / double(bgra.size());
        const QString report = QStringLiteral("mean difference %1, largest %2 at (%3,%4)")
                                   .arg(mean)
                                   .arg(found)
                                   .arg(foundAt / 4 % size_t(dstWidth))
                                   .arg(foundAt / 4 / size_t(dstWidth));
        QVERIFY2(mean < 1.5 && found <= largest, qPrintable(report));
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
