#include "live/entry/FrameObserverParam.h"

#include "app/records/InitTaskParams.h"

#include <QDebug>

void setFrameObserverParam(s_InitTask_Params* params, agora::media::IVideoFrameObserver* observer)
{
    if (params)
        params->extendParams_.insert(QLatin1String(EXTEND_PARAM_AgoraEngine_VideoFrameObserver),
                                     QVariant::fromValue(observer));
}

agora::media::IVideoFrameObserver* frameObserverFromParam(const QVariant& value)
{
    static_assert(sizeof(qulonglong) >= sizeof(quintptr), "a pointer must fit a 64-bit integer");
    const int type = value.userType();
    if (type == qMetaTypeId<agora::media::IVideoFrameObserver*>())
        return value.value<agora::media::IVideoFrameObserver*>();
    if (type == QMetaType::ULongLong || type == QMetaType::LongLong)
        return reinterpret_cast<agora::media::IVideoFrameObserver*>(static_cast<quintptr>(value.toULongLong()));
    qWarning() << "frameObserverFromParam: no pointer-sized observer in" << value.typeName();
    return nullptr;
}
