#pragma once

#include "RoomWindowTestSupport.h"

#include <QList>
#include <QString>

class Whiteboard;
struct SimScenario;

namespace SmallRoomTest {

constexpr int kPupilId = 100234;
constexpr int kTeacherId = 300451;
const QString kLessonId = QStringLiteral("880213");
// How the program writes the page's reports of its calls to the log.
const QString kPageCall = QStringLiteral("Whiteboard W2N_Msg_Log ( info ) : ");

// The application data of a small-group lesson about to be entered by the pupil 100234 (teaching type 2): the
// lesson's records, no member yet, the language and web mode given.
void setUpLesson(const QString& language = QStringLiteral("en"), const QString& webMode = QStringLiteral("production"));

// Installs the small-class page (the offline resources' vroom.html and boardpage.js from the source tree) where the
// configuration manager looks for it; false when the files cannot be copied.
bool installOfflinePage();

// The lesson's offline folder: made, or removed with everything in it.
bool makeLessonFolder(const QString& lessonId);
bool removeLessonFolder(const QString& lessonId);

// The simulated engine's scenario for these rooms: the defaults, and the teacher in the channel from the own join
// on, sending video.
SimScenario lessonScenario();

using RoomTest::RouterProbe;
using RoomTest::takeToast;
using RoomTest::useCalmProcessor;

// The page's reports of passMessage calls whose message has that key: the message texts (compact JSON as the page
// saw it), in order.
QStringList pageMessages(const QStringList& logLines, const QString& key);

// The same asked of the page itself, which keeps every call it received since it loaded, also those it does not
// report (voice volumes, statistics). Empty when the page gives no answer.
QStringList messagesOnPage(Whiteboard* board, const QString& key);

} // namespace SmallRoomTest
