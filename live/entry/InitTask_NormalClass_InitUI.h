#pragma once

#include "live/entry/InitTask.h"

#include <QPointer>

// Kind 128: lets the normal class room wire its video widgets. Done when the owner is a NormalClassEntryRoom;
// failed otherwise.
class InitTask_NormalClass_InitUI : public InitTask_Imp
{
    Q_OBJECT

public:
    InitTask_NormalClass_InitUI(s_InitTask_Params* params, QObject* owner, QObject* parent = nullptr);

public slots:
    void runTask() override;

private:
    QPointer<QObject> m_owner;
};
