#include "rooms/blocks/AwardAnimation.h"

#include "app/LogHandler.h"
#include "app/ProgramFiles.h"
#include "rooms/blocks/AwardSound.h"
#include "rooms/blocks/RoomBlocksResources.h"
#include "rooms/blocks/RoomClock.h"
#include "rooms/blocks/StarAwards.h"

#include <QDebug>
#include <QEasingCurve>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <limits>

namespace {

constexpr int kFadeInMs = 1000;
constexpr int kZoomOutMs = 550;
constexpr int kSettleMs = 100;
constexpr int kStarFlightMs = 200;
constexpr int kLandedStarSide = 33;

QPropertyAnimation* makeAnimation(QObject* target, const char* property, const char* name, int ms, QObject* parent)
{
    auto* animation = new QPropertyAnimation(target, property, parent);
    animation->setObjectName(QLatin1String(name));
    animation->setDuration(ms);
    return animation;
}

} // namespace

AwardAnimation::AwardAnimation(QWidget* parent)
    : QWidget(parent)
    , m_soundFile(getModulePathPart(0) + QStringLiteral("sounds/flying_star.mp3"))
{
    RoomBlocksResources::ensureLoaded();
    setObjectName(QStringLiteral("AwardAnimation"));
    resize(852, 547);
    setStyleSheet(QStringLiteral("QWidget\n{\n\tbackground:transparent;\n}"));

    m_awards = new StarAwards(this);
    m_awards->setObjectName(QStringLiteral("awards"));
    m_awards->setGeometry(160, 50, 356, 249);
    m_flyingStar = new QLabel(this);
    m_flyingStar->setObjectName(QStringLiteral("flying_star"));
    m_flyingStar->setGeometry(320, 490, 61, 61);
    m_flyingStar->setStyleSheet(QStringLiteral(
        "QLabel\n{\n\tbackground:transparent;\n\tborder-image: url(:/imageRes/image/res/star_bright.png);\n}"));
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(QStringLiteral("label"));
    m_zoomLabel->setGeometry(100, 480, 21, 21);
    // The star lands on the card's picture, so it is stacked above it.
    m_awards->raise();
    m_zoomLabel->raise();
    m_flyingStar->raise();
    m_awards->hide();
    m_flyingStar->hide();

    m_opacity = new QGraphicsOpacityEffect(this);
    m_fadeIn = makeAnimation(m_opacity, "opacity", "fadeIn", kFadeInMs, this);
    m_zoomOut = makeAnimation(m_zoomLabel, "geometry", "zoomOut", kZoomOutMs, this);
    m_zoomOut->setEasingCurve(QEasingCurve::InExpo);
    m_settle = makeAnimation(m_zoomLabel, "geometry", "settle", kSettleMs, this);
    m_starFlight = makeAnimation(m_flyingStar, "geometry", "starFlight", kStarFlightMs, this);
    m_popGroup = new QParallelAnimationGroup(this);
    m_popGroup->setObjectName(QStringLiteral("popGroup"));
    m_zoomSequence = new QSequentialAnimationGroup(this);
    m_zoomSequence->setObjectName(QStringLiteral("zoomSequence"));
    m_whole = new QSequentialAnimationGroup(this);
    m_whole->setObjectName(QStringLiteral("whole"));
    connect(m_fadeIn, &QAbstractAnimation::finished, m_flyingStar, &QWidget::show);
    connect(m_whole, &QAbstractAnimation::finished, this, &AwardAnimation::onAnimationFinished);

    m_soundGuard = new QTimer(this);
    m_soundGuard->setObjectName(QStringLiteral("soundGuard"));
    m_soundGuard->setSingleShot(true);
    connect(m_soundGuard, &QTimer::timeout, this, &AwardAnimation::onPlayTimeout);
}

AwardAnimation::~AwardAnimation()
{
    int step = 0;
    const auto trace = [&step] { qDebug().noquote() << QStringLiteral("~AwardAnimation() - %1").arg(++step); };
    trace();
    m_soundGuard->stop();
    m_whole->stop();
    trace();
    ungroupAnimations();
    trace();
    if (m_sound) {
        m_sound->disconnect(this);
        m_sound->stop();
    }
    delete m_sound;
    m_sound = nullptr;
    trace();
    delete m_whole;
    delete m_popGroup;
    delete m_zoomSequence;
    delete m_starFlight;
    delete m_settle;
    delete m_zoomOut;
    delete m_fadeIn;
    trace();
    qDebug() << "~AwardAnimation() - x";
}

void AwardAnimation::setSoundFile(const QString& path)
{
    m_soundFile = path;
}

void AwardAnimation::setSound(AwardSound* sound)
{
    if (sound == m_sound)
        return;
    delete m_sound;
    m_sound = sound;
    if (!m_sound)
        return;
    m_sound->setParent(this);
    connect(m_sound, &AwardSound::positionChanged, this, &AwardAnimation::onPlayPositionChanged);
    connect(m_sound, &AwardSound::durationChanged, this, &AwardAnimation::onPlayDurationChanged);
    connect(m_sound, &AwardSound::reachedEnd, this, [this] {
        if (m_soundPlaying)
            finish();
    });
    connect(m_sound, &AwardSound::error, this, &AwardAnimation::onPlayError);
}

bool AwardAnimation::acceptsTotal(int totalPoints)
{
    return totalPoints > std::numeric_limits<int>::min();
}

void AwardAnimation::start(const QString& name, const QString& portraitPath, int starCount)
{
    m_whole->stop();
    ungroupAnimations();
    m_soundGuard->stop();
    if (m_sound)
        m_sound->stop();
    m_soundPlaying = false;
    m_soundFailed = false;
    m_finished = false;

    const int W = width();
    const int H = height();
    const int cx = W / 2;
    const int cy = H / 2;
    const int w = m_awards->width();
    const int h = m_awards->height();
    const int wZoomed = int(1.2 * w);
    const int hZoomed = int(1.2 * h);

    m_flyingStar->hide();
    m_awards->setPortrait(portraitPath);
    m_awards->setUserName(name);
    m_awards->setStarCount(starCount);

    m_zoomLabel->setScaledContents(true);
    m_zoomLabel->setPixmap(m_awards->grab());
    m_zoomLabel->setGeometry(cx, cy, 0, 0);
    m_zoomLabel->setGraphicsEffect(m_opacity);

    m_fadeIn->setStartValue(0.0);
    m_fadeIn->setEndValue(1.0);
    m_zoomOut->setStartValue(QRect(cx, cy, 10, 10));
    m_zoomOut->setEndValue(QRect(cx - wZoomed / 2, cy - hZoomed / 2, wZoomed, hZoomed));
    m_settle->setStartValue(QRect(cx - wZoomed / 2, cy - hZoomed / 2, wZoomed, hZoomed));
    m_settle->setEndValue(QRect(cx - w / 2, cy - h / 2, w, h));
    m_zoomSequence->addAnimation(m_zoomOut);
    m_zoomSequence->addAnimation(m_settle);
    m_popGroup->addAnimation(m_fadeIn);
    m_popGroup->addAnimation(m_zoomSequence);

    const QPoint landing = QPoint(cx - w / 2, cy - h / 2) + m_awards->nextStarPos();
    m_starFlight->setStartValue(QRect(0, H / 2, W, W));
    m_starFlight->setEndValue(QRect(landing.x(), landing.y(), kLandedStarSide, kLandedStarSide));
    m_whole->addAnimation(m_popGroup);
    m_whole->addAnimation(m_starFlight);
    m_whole->start(QAbstractAnimation::KeepWhenStopped);
}

void AwardAnimation::ungroupAnimations()
{
    // The groups would own what they hold; taken out, the parts go back to this widget.
    for (QAnimationGroup* group : {static_cast<QAnimationGroup*>(m_whole), static_cast<QAnimationGroup*>(m_popGroup),
                                   static_cast<QAnimationGroup*>(m_zoomSequence)}) {
        while (group->animationCount() > 0)
            group->takeAnimation(0)->setParent(this);
    }
}

void AwardAnimation::onAnimationFinished()
{
    ungroupAnimations();
    if (m_finished)
        return;
    if (!m_sound)
        setSound(new AwardSound_Imp(this));
    m_soundPlaying = true;
    m_soundStartMs = RoomClock::nowMs();
    startSoundBound(m_sound->duration());
    m_sound->play(m_soundFile);
}

void AwardAnimation::startSoundBound(qint64 soundLength)
{
    const qint64 length = soundLength > 0 ? soundLength : kUnknownSoundLengthMs;
    const qint64 elapsed = RoomClock::nowMs() - m_soundStartMs;
    m_soundGuard->start(int(std::clamp<qint64>(length + kSoundGuardMs - elapsed, 0, INT_MAX)));
}

void AwardAnimation::onPlayDurationChanged(qint64 duration)
{
    if (m_soundPlaying && !m_soundFailed && duration > 0)
        startSoundBound(duration);
}

void AwardAnimation::onPlayPositionChanged(qlonglong duration)
{
    // The argument is the position; the end counts only once the length is known.
    const qint64 length = m_sound ? m_sound->duration() : 0;
    if (m_soundPlaying && length > 0 && duration >= length)
        finish();
}

void AwardAnimation::onPlayError(QMediaPlayer::Error error)
{
    if (!m_soundPlaying || m_soundFailed)
        return;
    qWarning() << "AwardAnimation::onPlayError" << int(error) << "- the award ends in" << kSoundGuardMs << "ms";
    m_soundFailed = true;
    m_soundGuard->start(kSoundGuardMs);
}

void AwardAnimation::onPlayTimeout()
{
    m_soundGuard->stop();
    if (!m_soundFailed)
        qWarning() << "AwardAnimation::onPlayTimeout the sound did not end in time";
    finish();
}

void AwardAnimation::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_soundPlaying = false;
    m_soundGuard->stop();
    logEmitSignal("sigAnimationFinished");
    emit sigAnimationFinished();
}
