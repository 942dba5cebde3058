#pragma once

#include <QString>
#include <QVector>

// The public class room's own entry: which steps a role runs, in which order, and what the room shows for each.
// A step is one bit of the pending mask (the class-entry step kinds: 1 RTC engine, 2 camera, 4 microphone,
// 8 speaker, 16 class information, 512 class messages, 32 enter the class, 256 whiteboard page, 64 join the
// channel, 128 room interface).
namespace PublicEntryPlan {

// The pending mask of an account type: 0x3FF teacher (2), 0x2FD student (1), 0x2F1 anyone else.
unsigned int pendingMaskFor(int accountType);

// Every step in the order one pass tries them.
const QVector<unsigned int>& stepOrder();

// The pending steps in pass order.
QVector<unsigned int> pendingSteps(unsigned int mask);

// A step's waiting text, retry title and retry detail (translated). hasTexts is false for the message step (the
// texts of the step before stay) and for the room interface step (nothing is shown).
struct StepTexts
{
    bool hasTexts = false;
    QString waiting;
    QString failureTitle;
    QString failureDetail;
};
StepTexts textsFor(unsigned int step);

// The device a step checks, as the class service's device report counts it (1 camera, 2 microphone, 3 speaker);
// 0 for the other steps.
int reportedDeviceType(unsigned int step);

} // namespace PublicEntryPlan
