#pragma once

#include "live/rtc/engine/RtcEngineTypes.h"

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <string>

// A map from text to variant: RTC statistics, message bodies.
using QMapStrVar = QMap<QString, QVariant>;

// The engine's device type under the name the channel's signals use.
using MEDIA_DEVICE_TYPE = agora::rtc::MEDIA_DEVICE_TYPE;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(agora::rtc::MEDIA_DEVICE_TYPE)

// Registers, under the names the signals carry, every type that RTC signals take across threads: "std::string",
// "MEDIA_DEVICE_TYPE", "QMapStrVar" and "vector_device_info". Safe to call any number of times.
void registerRtcMetaTypes();
