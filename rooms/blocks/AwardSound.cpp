#include "rooms/blocks/AwardSound.h"

#include <QDebug>
#include <QUrl>

namespace {

constexpr int kPositionReportMs = 100;

} // namespace

AwardSound::AwardSound(QObject* parent)
    : QObject(parent)
{
}

AwardSound_Imp::AwardSound_Imp(QObject* parent)
    : AwardSound(parent)
    , m_player(this)
{
    m_player.setNotifyInterval(kPositionReportMs);
    connect(&m_player, &QMediaPlayer::positionChanged, this, &AwardSound::positionChanged);
    connect(&m_player, &QMediaPlayer::durationChanged, this, &AwardSound::durationChanged);
    connect(&m_player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this, [this](QMediaPlayer::Error e) {
        qWarning().noquote() << "AwardSound_Imp::play error" << int(e) << m_player.errorString();
        emit error(e);
    });
    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, &AwardSound_Imp::onMediaStatusChanged);
}

void AwardSound_Imp::play(const QString& filePath)
{
    m_player.stop();
    m_player.setMedia(QUrl::fromLocalFile(filePath));
    m_player.play();
}

void AwardSound_Imp::stop()
{
    m_player.stop();
}

qint64 AwardSound_Imp::duration() const
{
    return m_player.duration();
}

void AwardSound_Imp::onMediaStatusChanged(QMediaPlayer::MediaStatus status)
{
    if (status == QMediaPlayer::EndOfMedia)
        emit reachedEnd();
}
