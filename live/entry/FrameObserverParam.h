#pragma once

#include "live/rtc/engine/IMediaEngine.h"

#include <QMetaType>
#include <QVariant>

Q_DECLARE_METATYPE(agora::media::IVideoFrameObserver*)

struct s_InitTask_Params;

// The frame observer a room hands the channel step ("EXTEND_PARAM_AgoraEngine_VideoFrameObserver"): stored as the
// pointer type itself, so that it never passes through a narrower integer.
void setFrameObserverParam(s_InitTask_Params* params, agora::media::IVideoFrameObserver* observer);

// The observer a value carries: the pointer type, or a pointer-sized integer (qulonglong / qlonglong). Null for
// anything else, a 32-bit integer included (it cannot hold a pointer here), and logged.
agora::media::IVideoFrameObserver* frameObserverFromParam(const QVariant& value);
