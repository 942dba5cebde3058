#pragma once

#include <QMetaType>
#include <QtGlobal>

// A class member's id in the signals of the member list and its rows: the decimal value of the member record's
// user id text.
using UserID_T = qint32;

// State of the raise-hand button.
enum BtnIconType : int
{
    BtnIcon_HandDown = 0, // "Raise", enabled
    BtnIcon_Raised = 1,   // hand up, countdown running, disabled
    BtnIcon_Talking = 2,  // the teacher opened the microphone: "Close", enabled
};
Q_DECLARE_METATYPE(BtnIconType)

// Registers both types by name for queued connections made by signature text; the widgets call it.
void registerRoomMemberTypes();
