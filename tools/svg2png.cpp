// Renders one SVG drawing to a PNG (or, for an output name ending in ".bmp", an opaque BMP) of a given size.
// Used at build time for the compiled-in images and the pictures shipped beside the program.
//
//   zm_svg2png [--rotate <degrees>] [--grey] [--text] <in.svg> <out.png|out.bmp> <width> <height>
//
// --rotate turns the drawing about the picture's centre (the spinner frames); --grey repaints every
// visible pixel in one muted grey, keeping its coverage (the disabled look of the title-bar buttons);
// --text starts the toolkit's font support (offscreen), which drawings with text elements need.

#include <QByteArray>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <cstdio>
#include <memory>

namespace {

int usage()
{
    std::fprintf(
        stderr,
        "usage: zm_svg2png [--rotate <degrees>] [--grey] [--text] <in.svg> <out.png|out.bmp> <width> <height>\n");
    return 2;
}

void makeGrey(QImage& image)
{
    const QColor grey(0x6B, 0x7A, 0x82);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            line[x] = qPremultiply(qRgba(grey.red(), grey.green(), grey.blue(), alpha));
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    double rotation = 0.0;
    bool grey = false;
    bool text = false;
    QStringList positional;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--rotate" && i + 1 < argc) {
            bool ok = false;
            rotation = QByteArray(argv[++i]).toDouble(&ok);
            if (!ok)
                return usage();
        } else if (arg == "--grey") {
            grey = true;
        } else if (arg == "--text") {
            text = true;
        } else {
            positional << QString::fromLocal8Bit(arg);
        }
    }
    if (positional.size() != 4)
        return usage();

    bool widthOk = false;
    bool heightOk = false;
    const int width = positional.at(2).toInt(&widthOk);
    const int height = positional.at(3).toInt(&heightOk);
    if (!widthOk || !heightOk || width <= 0 || height <= 0)
        return usage();

    std::unique_ptr<QGuiApplication> application;
    if (text) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }

    QSvgRenderer renderer(positional.at(0));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "zm_svg2png: cannot read %s\n", qPrintable(positional.at(0)));
        return 1;
    }

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (rotation != 0.0) {
            painter.translate(width / 2.0, height / 2.0);
            painter.rotate(rotation);
            painter.translate(-width / 2.0, -height / 2.0);
        }
        renderer.render(&painter, QRectF(0, 0, width, height));
    }
    if (grey)
        makeGrey(image);

    const QString output = positional.at(1);
    const bool bitmap = output.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
    // A bitmap has no transparency: the drawing is laid on white.
    if (bitmap) {
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        image = opaque;
    }
    if (!image.save(output, bitmap ? "BMP" : "PNG")) {
        std::fprintf(stderr, "zm_svg2png: cannot write %s\n", qPrintable(positional.at(1)));
        return 1;
    }
    return 0;
}
