#pragma once

#include <QJsonValue>
#include <QString>
#include <QUrl>

class AppGlobalData;

// What the home page's writes to its channel object mean for the application data. Each function takes the text the
// page wrote. JSON texts are read as UTF-8; only the keys of a top-level object count (case-sensitive), and a text
// that is no JSON object changes only what the function says it always changes. Values are taken in either form a
// page may send them: a number as a JSON number or as decimal text, a flag as a JSON boolean or as text.
namespace HomePageWrites {

// "loginsuccess" {"result", "userid", "token"}: the user id and the token are stored when present. True when
// "result" is true (a text other than empty, "0" and "false" in any case; a non-zero number): the user signed in.
bool applyLoginSuccess(const QString& text, AppGlobalData& data);

// "enterroom" {"teachType", "classType", "accountType", "lessonid", "periodid", "lessonname"}, each when present:
// the teach and class types, then the ui type from them; the account type (2 when the key is missing or holds no
// number); the lesson and period ids as decimal text; the lesson name. The start app type becomes 1 in any case.
void applyEnterRoom(const QString& text, AppGlobalData& data);

// "enterreplayer": the lesson keys as applyEnterRoom, except that an account type is set only when present (0 when it
// holds no number); the six media texts "media1", "media1start", "media1dur", "media2", "media2start", "media2dur"
// (empty when missing). The start app type becomes 2 in any case. Returns the start status of the replay of the ui
// type now stored (1 normal 5, 2 small 7, 3 public 6), 0 for any other ui type.
int applyEnterReplayer(const QString& text, AppGlobalData& data);

// "initfilepage" {"result"}: true when "result" is the text "true" (exactly) or JSON true; the user id is then cleared
// (the page is back on its start page: nobody is signed in).
bool applyInitFilePage(const QString& text, AppGlobalData& data);

// "openzoomurl": the address the text names (read in tolerant mode), when it is an http or https address with a host,
// which the desktop may open; an empty URL for any other scheme or text.
QUrl externalAddress(const QString& text);

// An id as decimal text with every digit (never exponent form): a whole JSON number within 64 bits or a text of
// decimal digits; "0" for anything else.
QString idText(const QJsonValue& value);

} // namespace HomePageWrites
