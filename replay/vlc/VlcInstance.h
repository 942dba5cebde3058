#pragma once

#include "replay/vlc/Vlc.h"

#include <QObject>
#include <QStringList>

#include <atomic>

struct libvlc_instance_t;

// One libvlc instance: the plug-ins and settings its media and players share. libvlc's messages at or above the
// log level go to the program's log (errors only, until set otherwise).
class VlcInstance : public QObject
{
    Q_OBJECT

public:
    // Made with the arguments (VlcCommon::args()); isValid() tells whether libvlc accepted them.
    explicit VlcInstance(const QStringList& args, QObject* parent = nullptr);
    ~VlcInstance() override;

    bool isValid() const { return m_core != nullptr; }
    libvlc_instance_t* core() const { return m_core; }

    Vlc::LogLevel logLevel() const { return m_logLevel.load(); }
    void setLogLevel(Vlc::LogLevel level);

    // libvlc's version text ("3.0.x Vetinari").
    static QString version();

private:
    libvlc_instance_t* m_core = nullptr;
    std::atomic<Vlc::LogLevel> m_logLevel{Vlc::ErrorLevel};
};
