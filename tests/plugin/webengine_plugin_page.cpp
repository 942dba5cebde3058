// Runs the real embedded browser with the video plug-in, as the user it is started as (the test starts it as an
// unprivileged user): a page with two plug-in elements, each told its view id, and frames written into their
// sections. Prints one line per finding; exits 0 when both elements showed the expected colours.
//   webengine_plugin_page <plugin folder> <picture to save>
#include "shared/CShareFrameWriter.h"
#include "shared/ShareNames.h"
#include "web/VideoPluginSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>
#include <QThread>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

struct Yuv
{
    uint8_t y, u, v;
};

const Yuv kRed{81, 90, 240};
const Yuv kGreen{145, 54, 34};
const Yuv kBlue{41, 240, 110};

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

bool writeFrame(CShareFrameWriter* writer, const Yuv& colour, int width, int height)
{
    if (!writer || !writer->lock(100))
        return false;
    std::vector<uint8_t> y(size_t(width) * height, colour.y);
    std::vector<uint8_t> u(size_t(width / 2) * (height / 2), colour.u);
    std::vector<uint8_t> v(size_t(width / 2) * (height / 2), colour.v);
    const bool written =
        writer->writeFrame(I420FrameView{width, height, y.data(), u.data(), v.data(), width, width / 2, width / 2});
    writer->unlock();
    return written;
}

bool near(int actual, int expected)
{
    return std::abs(actual - expected) <= 24;
}

bool shows(const QImage& image, QPoint at, int r, int g, int b)
{
    const QColor colour = image.pixelColor(at);
    return near(colour.red(), r) && near(colour.green(), g) && near(colour.blue(), b);
}

class ConsolePage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override
    {
        say("console " + message);
    }
};

const char kPage[] = R"(<!DOCTYPE html>
<html><body style="margin:0;background:#808080">
<embed id="v1" type="%1" style="position:absolute;left:0;top:0;width:320px;height:240px">
<embed id="v2" type="%1" style="position:absolute;left:400px;top:0;width:160px;height:120px">
<script>
var ids = {v1: "%2", v2: "%3"}, told = {};
function tell() {
  for (var element in ids) {
    var embed = document.getElementById(element);
    if (!told[element] && typeof embed.postMessage === "function") {
      embed.postMessage({command: "init", id: ids[element]});
      told[element] = true;
    }
  }
  if (told.v1 && told.v2) document.title = "told"; else setTimeout(tell, 20);
}
tell();
setTimeout(function() {
  if (document.title === "told") return;
  var types = [];
  for (var i = 0; i < navigator.mimeTypes.length; ++i) types.push(navigator.mimeTypes[i].type);
  console.log("no plug-in instance after 5 s; known types: " + types.join(", "));
}, 5000);
</script></body></html>)";

// How long a wait for the browser may take on a loaded machine.
constexpr int kWaitMs = 60000;

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 64;
    const QString pluginDir = QString::fromLocal8Bit(argv[1]);
    const QString picturePath = QString::fromLocal8Bit(argv[2]);

    // Registered as the program registers it.
    QStringList switches;
    addVideoPluginSwitches(switches, pluginDir);
    std::vector<QByteArray> storage;
    for (int i = 0; i < argc; ++i)
        storage.emplace_back(argv[i]);
    for (const QString& browserSwitch : switches)
        storage.push_back(browserSwitch.toLocal8Bit());
    std::vector<char*> arguments;
    for (QByteArray& argument : storage)
        arguments.push_back(argument.data());
    int count = int(arguments.size());
    arguments.push_back(nullptr);

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(count, arguments.data());
    say(QStringLiteral("user %1").arg(::geteuid()));

    const std::string id1 = "itest" + std::to_string(::getpid()) + "_1";
    const std::string id2 = "itest" + std::to_string(::getpid()) + "_2";
    auto writer1 = CShareFrameWriter::create(shareSectionName(id1).c_str(), true, 640 * 480 * 3 + 64);
    auto writer2 = CShareFrameWriter::create(shareSectionName(id2).c_str(), true, 640 * 480 * 3 + 64);
    if (!writeFrame(writer1.get(), kRed, 640, 480) || !writeFrame(writer2.get(), kBlue, 320, 240)) {
        say("cannot write the shared frames");
        return 2;
    }

    QWebEngineSettings::defaultSettings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    QWebEngineView view;
    auto* page = new ConsolePage(&view);
    view.setPage(page);
    view.resize(640, 320);
    view.show();
    // A page from a file, as the program's offline pages are.
    QFile html(QFileInfo(picturePath).absolutePath() + QStringLiteral("/videos.html"));
    if (!html.open(QIODevice::WriteOnly)) {
        say("cannot write the page");
        return 2;
    }
    html.write(
        QString::fromLatin1(kPage)
            .arg(QString::fromLatin1(kVideoPluginMimeType), QString::fromStdString(id1), QString::fromStdString(id2))
            .toUtf8());
    html.close();
    page->load(QUrl::fromLocalFile(html.fileName()));

    // Waits for what check reports true, keeping the event loop running; false after the time limit.
    const auto waitFor = [&](int limitMs, const std::function<bool()>& check) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < limitMs) {
            app.processEvents(QEventLoop::AllEvents, 50);
            if (check())
                return true;
            QThread::msleep(20);
        }
        return false;
    };

    if (!waitFor(kWaitMs, [&] { return page->title() == QStringLiteral("told"); })) {
        say("the elements never took a message (the plug-in did not load)");
        return 3;
    }
    say("elements told their ids");

    QImage shot;
    const auto showing = [&](const Yuv& first, const Yuv& second) {
        const auto rgb = [](const Yuv& c) {
            return c.y == kRed.y ? QColor(255, 0, 0) : (c.y == kGreen.y ? QColor(0, 255, 0) : QColor(0, 0, 255));
        };
        return waitFor(kWaitMs, [&] {
            shot = view.grab().toImage();
            const QColor a = rgb(first);
            const QColor b = rgb(second);
            return shows(shot, QPoint(160, 120), a.red(), a.green(), a.blue()) &&
                   shows(shot, QPoint(480, 60), b.red(), b.green(), b.blue()) &&
                   shows(shot, QPoint(360, 280), 128, 128, 128);
        });
    };
    if (!showing(kRed, kBlue)) {
        shot.save(picturePath);
        say(QStringLiteral("first frames not shown: %1 %2")
                .arg(shot.pixelColor(160, 120).name(), shot.pixelColor(480, 60).name()));
        return 4;
    }
    say("painted red and blue");

    if (!writeFrame(writer1.get(), kGreen, 640, 480) || !showing(kGreen, kBlue)) {
        shot.save(picturePath);
        say(QStringLiteral("new frame not shown: %1").arg(shot.pixelColor(160, 120).name()));
        return 5;
    }
    say("painted green and blue");
    shot.save(picturePath);
    writer1.reset();
    writer2.reset();
    removeShareObjects(shareSectionName(id1));
    removeShareObjects(shareSectionName(id2));
    return 0;
}
