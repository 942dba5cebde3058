#include "live/entry/InitTask_NormalClass_InitUI.h"

#include "app/records/InitTaskParams.h"
#include "live/entry/NormalClassEntryRoom.h"

#include <QDebug>

InitTask_NormalClass_InitUI::InitTask_NormalClass_InitUI(s_InitTask_Params* params, QObject* owner, QObject* parent)
    : InitTask_Imp(NormalClass_InitUI, params, parent)
    , m_owner(owner)
{
}

void InitTask_NormalClass_InitUI::runTask()
{
    auto* room = dynamic_cast<NormalClassEntryRoom*>(m_owner.data());
    if (!room) {
        qWarning() << "InitTask_NormalClass_InitUI::runTask() - the owner is no normal class room";
        finishTask(-1);
        return;
    }
    room->connectVideoWidgets();
    finishTask(1);
}
