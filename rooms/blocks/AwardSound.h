#pragma once

#include <QMediaPlayer>
#include <QObject>

class QString;

// The award's sound: plays one file once and reports how far it got. AwardSound_Imp plays through Qt Multimedia;
// tests put in a sound of their own.
class AwardSound : public QObject
{
    Q_OBJECT

public:
    explicit AwardSound(QObject* parent = nullptr);

    // Starts the file from its beginning; a failure is reported through error().
    virtual void play(const QString& filePath) = 0;
    virtual void stop() = 0;
    // The length in milliseconds, 0 while unknown.
    virtual qint64 duration() const = 0;

signals:
    void positionChanged(qint64 position);
    void durationChanged(qint64 duration);
    // The end of the file was reached.
    void reachedEnd();
    void error(QMediaPlayer::Error error);
};

// The sound through a QMediaPlayer: position reports every 100 ms, the end of the file and the player's errors
// (logged).
class AwardSound_Imp : public AwardSound
{
    Q_OBJECT

public:
    explicit AwardSound_Imp(QObject* parent = nullptr);

    void play(const QString& filePath) override;
    void stop() override;
    qint64 duration() const override;

private slots:
    void onMediaStatusChanged(QMediaPlayer::MediaStatus status);

private:
    QMediaPlayer m_player;
};
