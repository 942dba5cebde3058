#pragma once

#include <QMediaPlayer>
#include <QWidget>

class AwardSound;
class QGraphicsOpacityEffect;
class QLabel;
class QParallelAnimationGroup;
class QPropertyAnimation;
class QSequentialAnimationGroup;
class QTimer;
class StarAwards;

// One award over the room: a picture of the award card fades and zooms in to the middle, a star sweeps in from
// the left onto the card's next free slot, then the award sound plays. sigAnimationFinished() comes once per
// start(): when the sound has played to its end, 1300 ms after it failed, or at the latest its length plus
// 1300 ms after it started (a sound that stalls without an error). The owner sizes it before start() and deletes
// it after the signal.
class AwardAnimation : public QWidget
{
    Q_OBJECT

public:
    // After a sound error, and after the sound's length, the award waits this long before it ends.
    static constexpr int kSoundGuardMs = 1300;
    // The length assumed while the player does not know the sound's.
    static constexpr int kUnknownSoundLengthMs = 5000;

    explicit AwardAnimation(QWidget* parent = nullptr);
    ~AwardAnimation() override;

    // Runs the award for a student with that name and portrait file who had starCount stars before it.
    void start(const QString& name, const QString& portraitPath, int starCount);
    // Whether an award that brought a student to totalPoints stars can run: the stars before it (one fewer) must
    // be an int, as they are for every total but the smallest int.
    static bool acceptsTotal(int totalPoints);

    // The sound file: <program folder>/sounds/flying_star.mp3 unless set.
    void setSoundFile(const QString& path);
    QString soundFile() const { return m_soundFile; }
    // Replaces the sound player (taken over and deleted with this widget).
    void setSound(AwardSound* sound);

signals:
    void sigAnimationFinished();

public slots:
    void onAnimationFinished();
    void onPlayPositionChanged(qlonglong duration);
    void onPlayError(QMediaPlayer::Error error);
    void onPlayTimeout();

private slots:
    void onPlayDurationChanged(qint64 duration);

private:
    void ungroupAnimations();
    void startSoundBound(qint64 soundLength);
    void finish();

    StarAwards* m_awards;
    QLabel* m_flyingStar;
    QLabel* m_zoomLabel;
    QGraphicsOpacityEffect* m_opacity;
    QPropertyAnimation* m_fadeIn;
    QPropertyAnimation* m_zoomOut;
    QPropertyAnimation* m_settle;
    QPropertyAnimation* m_starFlight;
    QParallelAnimationGroup* m_popGroup;
    QSequentialAnimationGroup* m_zoomSequence;
    QSequentialAnimationGroup* m_whole;
    AwardSound* m_sound = nullptr;
    QTimer* m_soundGuard;

    QString m_soundFile;
    bool m_soundPlaying = false;
    bool m_soundFailed = false;
    bool m_finished = true;
    qint64 m_soundStartMs = 0;
};
