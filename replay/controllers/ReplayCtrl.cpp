#include "replay/controllers/ReplayCtrl.h"

#include "app/LogHandler.h"

ReplayCtrl::ReplayCtrl(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<ReplayerState>("ReplayerState");
    qRegisterMetaType<ReplayCtrl*>("ReplayCtrl*");
}

ReplayCtrl::~ReplayCtrl() = default;

ReplayerState ReplayCtrl::state() const
{
    return m_state;
}

void ReplayCtrl::setState(ReplayerState state)
{
    if (state == m_state)
        return;
    m_state = state;
    logEmitSignal("stateChanged");
    emit stateChanged(this, state);
}
