#include "live/rtc/sim/RealDeviceWorker.h"

#include <QAbstractVideoSurface>
#include <QAudioDeviceInfo>
#include <QAudioInput>
#include <QAudioOutput>
#include <QBuffer>
#include <QCamera>
#include <QCameraInfo>
#include <QDebug>
#include <QFile>
#include <QImage>
#include <QVideoFrame>
#include <QVideoSurfaceFormat>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

std::uint8_t clampedByte(int value)
{
    return std::uint8_t(std::clamp(value, 0, 255));
}

// BT.601 studio range from 0xffRRGGBB pixels.
void rgbToI420(const QImage& image, I420Frame& out)
{
    out.allocate(image.width() & ~1, image.height() & ~1, 16, 0);
    for (int row = 0; row < out.height; ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        std::uint8_t* y = out.y() + std::size_t(row) * out.yStride;
        for (int column = 0; column < out.width; ++column) {
            const QRgb pixel = pixels[column];
            y[column] = clampedByte(((66 * qRed(pixel) + 129 * qGreen(pixel) + 25 * qBlue(pixel) + 128) >> 8) + 16);
        }
    }
    for (int row = 0; row < out.chromaHeight(); ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row * 2));
        std::uint8_t* u = out.u() + std::size_t(row) * out.uStride;
        std::uint8_t* v = out.v() + std::size_t(row) * out.vStride;
        for (int column = 0; column < out.chromaWidth(); ++column) {
            const QRgb pixel = pixels[column * 2];
            u[column] = clampedByte(((-38 * qRed(pixel) - 74 * qGreen(pixel) + 112 * qBlue(pixel) + 128) >> 8) + 128);
            v[column] = clampedByte(((112 * qRed(pixel) - 94 * qGreen(pixel) - 18 * qBlue(pixel) + 128) >> 8) + 128);
        }
    }
}

// A PCM WAV file's format and samples; false for anything else.
bool readWav(const QByteArray& file, QAudioFormat& format, QByteArray& samples)
{
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return false;
    bool haveFormat = false;
    int offset = 12;
    while (offset + 8 <= file.size()) {
        const QByteArray id = file.mid(offset, 4);
        const quint32 size = qFromLittleEndian<quint32>(file.constData() + offset + 4);
        const int body = offset + 8;
        if (size > quint32(file.size() - body))
            return false;
        if (id == "fmt " && size >= 16) {
            const char* fmt = file.constData() + body;
            if (qFromLittleEndian<quint16>(fmt) != 1) // PCM only
                return false;
            format.setChannelCount(qFromLittleEndian<quint16>(fmt + 2));
            format.setSampleRate(int(qFromLittleEndian<quint32>(fmt + 4)));
            const int bits = qFromLittleEndian<quint16>(fmt + 14);
            format.setSampleSize(bits);
            format.setSampleType(bits == 8 ? QAudioFormat::UnSignedInt : QAudioFormat::SignedInt);
            format.setByteOrder(QAudioFormat::LittleEndian);
            format.setCodec(QStringLiteral("audio/pcm"));
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            samples = file.mid(body, int(size));
            return true;
        }
        offset = body + int(size) + int(size & 1);
    }
    return false;
}

QAudioDeviceInfo audioDevice(QAudio::Mode mode, const QString& id)
{
    const QList<QAudioDeviceInfo> devices = QAudioDeviceInfo::availableDevices(mode);
    for (const QAudioDeviceInfo& device : devices) {
        if (device.deviceName() == id)
            return device;
    }
    return mode == QAudio::AudioInput ? QAudioDeviceInfo::defaultInputDevice()
                                      : QAudioDeviceInfo::defaultOutputDevice();
}

} // namespace

// Receives the camera's pictures and keeps the newest one as I420 in the worker's store.
class CameraFrameSink : public QAbstractVideoSurface
{
public:
    explicit CameraFrameSink(RealDeviceWorker::FrameStore& store)
        : m_store(store)
    {
    }

    QList<QVideoFrame::PixelFormat> supportedPixelFormats(QAbstractVideoBuffer::HandleType type) const override
    {
        if (type != QAbstractVideoBuffer::NoHandle)
            return {};
        return {QVideoFrame::Format_YUV420P, QVideoFrame::Format_RGB32, QVideoFrame::Format_ARGB32,
                QVideoFrame::Format_YUYV,    QVideoFrame::Format_UYVY,  QVideoFrame::Format_NV12,
                QVideoFrame::Format_RGB24,   QVideoFrame::Format_BGR32};
    }

    bool present(const QVideoFrame& picture) override
    {
        QVideoFrame frame(picture);
        if (!frame.map(QAbstractVideoBuffer::ReadOnly))
            return false;
        I420Frame converted;
        if (frame.pixelFormat() == QVideoFrame::Format_YUV420P && frame.planeCount() == 3) {
            converted.allocate(frame.width(), frame.height(), 1, 0);
            copyPlane(frame.bits(0), frame.bytesPerLine(0), converted.y(), converted.yStride, converted.width,
                      converted.height);
            copyPlane(frame.bits(1), frame.bytesPerLine(1), converted.u(), converted.uStride, converted.chromaWidth(),
                      converted.chromaHeight());
            copyPlane(frame.bits(2), frame.bytesPerLine(2), converted.v(), converted.vStride, converted.chromaWidth(),
                      converted.chromaHeight());
            frame.unmap();
        } else {
            frame.unmap();
            const QImage image = picture.image().convertToFormat(QImage::Format_RGB32);
            if (image.isNull())
                return false;
            rgbToI420(image, converted);
        }
        std::lock_guard<std::mutex> lock(m_store.mutex);
        m_store.latest = std::move(converted);
        return true;
    }

    static void copyPlane(const uchar* from, int fromStride, std::uint8_t* to, int toStride, int width, int height)
    {
        for (int row = 0; row < height; ++row)
            std::memcpy(to + std::size_t(row) * toStride, from + std::size_t(row) * fromStride, std::size_t(width));
    }

private:
    RealDeviceWorker::FrameStore& m_store;
};

RealDeviceWorker::RealDeviceWorker() = default;

RealDeviceWorker::~RealDeviceWorker()
{
    stopCamera();
    stopMicrophone();
    stopPlayback();
}

std::vector<SimDeviceSpec> RealDeviceWorker::list(SimDeviceKind kind)
{
    std::vector<SimDeviceSpec> devices;
    if (kind == SimDeviceKind::Camera) {
        const QList<QCameraInfo> cameras = QCameraInfo::availableCameras();
        for (const QCameraInfo& camera : cameras)
            devices.push_back({camera.description().toStdString(), camera.deviceName().toStdString(), false, -1});
        return devices;
    }
    const QList<QAudioDeviceInfo> audio = QAudioDeviceInfo::availableDevices(
        kind == SimDeviceKind::Microphone ? QAudio::AudioInput : QAudio::AudioOutput);
    for (const QAudioDeviceInfo& device : audio)
        devices.push_back({device.deviceName().toStdString(), device.deviceName().toStdString(), false, -1});
    return devices;
}

void RealDeviceWorker::startCamera(const QString& id)
{
    stopCamera();
    QCameraInfo chosen;
    const QList<QCameraInfo> cameras = QCameraInfo::availableCameras();
    for (const QCameraInfo& camera : cameras) {
        if (camera.deviceName() == id)
            chosen = camera;
    }
    if (chosen.isNull()) {
        qWarning().noquote() << "RealDeviceWorker no camera" << id;
        return;
    }
    m_sink = std::make_unique<CameraFrameSink>(m_frames);
    m_camera = std::make_unique<QCamera>(chosen);
    m_camera->setViewfinder(m_sink.get());
    m_camera->start();
}

void RealDeviceWorker::stopCamera()
{
    if (m_camera)
        m_camera->stop();
    m_camera.reset();
    m_sink.reset();
    std::lock_guard<std::mutex> lock(m_frames.mutex);
    m_frames.latest = I420Frame();
}

bool RealDeviceWorker::latestCameraFrame(I420Frame& out)
{
    std::lock_guard<std::mutex> lock(m_frames.mutex);
    if (m_frames.latest.isEmpty())
        return false;
    out = m_frames.latest;
    return true;
}

void RealDeviceWorker::startMicrophone(const QString& id)
{
    stopMicrophone();
    const QAudioDeviceInfo device = audioDevice(QAudio::AudioInput, id);
    QAudioFormat format;
    format.setSampleRate(16000);
    format.setChannelCount(1);
    format.setSampleSize(16);
    format.setSampleType(QAudioFormat::SignedInt);
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setCodec(QStringLiteral("audio/pcm"));
    if (!device.isFormatSupported(format))
        format = device.nearestFormat(format);
    if (format.sampleSize() != 16 || format.sampleType() != QAudioFormat::SignedInt) {
        qWarning().noquote() << "RealDeviceWorker the microphone offers no 16-bit samples:" << device.deviceName();
        return;
    }
    m_input = std::make_unique<QAudioInput>(device, format);
    m_inputDevice = m_input->start();
    if (!m_inputDevice) {
        qWarning().noquote() << "RealDeviceWorker the microphone does not start:" << device.deviceName();
        m_input.reset();
        return;
    }
    connect(m_inputDevice, &QIODevice::readyRead, this, [this] { readMicrophone(); });
}

void RealDeviceWorker::readMicrophone()
{
    if (!m_inputDevice)
        return;
    const QByteArray samples = m_inputDevice->readAll();
    int peak = 0;
    for (int i = 0; i + 1 < samples.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
    m_level.store(std::min(255, peak * 255 / 32767));
}

void RealDeviceWorker::stopMicrophone()
{
    if (m_input)
        m_input->stop();
    m_input.reset();
    m_inputDevice = nullptr;
    m_level.store(0);
}

bool RealDeviceWorker::startPlayback(const QString& speakerId, const QString& path)
{
    stopPlayback();
    QFile file(path);
    QAudioFormat format;
    if (!file.open(QIODevice::ReadOnly) || !readWav(file.readAll(), format, m_soundData)) {
        qWarning().noquote() << "RealDeviceWorker cannot play" << path << "(PCM WAV files only)";
        return false;
    }
    m_output = std::make_unique<QAudioOutput>(audioDevice(QAudio::AudioOutput, speakerId), format);
    m_sound = std::make_unique<QBuffer>(&m_soundData);
    m_sound->open(QIODevice::ReadOnly);
    // The test sound repeats until it is stopped.
    connect(m_output.get(), &QAudioOutput::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState && m_output && m_sound) {
            m_sound->seek(0);
            m_output->start(m_sound.get());
        }
    });
    m_output->start(m_sound.get());
    return m_output->error() == QAudio::NoError;
}

void RealDeviceWorker::stopPlayback()
{
    if (m_output) {
        m_output->disconnect(this);
        m_output->stop();
    }
    m_output.reset();
    m_sound.reset();
}
