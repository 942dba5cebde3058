#pragma once

#include <QMap>
#include <QString>

// The whiteboard page's message protocol, without the browser: what a text the page writes into its
// "JsPostMessage" property asks for (page to program), and the script that carries a message to the page
// (program to page).

// What one page message asks for.
enum class PageMessageKind
{
    Ignored,             // not a JSON object, or an object with neither "WPVideo" nor "key"
    VideoPlaying,        // {"WPVideo": ...}: the page's courseware video started or stopped
    PpApiShowed,         // "msg-w2n-ppapi-showed": the page shows a video view for a user
    PpApiHidden,         // "msg-w2n-ppapi-hidden": the page hid that view
    ButtonClicked,       // "msg-w2n-btn-clicked": a page button was pressed
    Log,                 // "msg-w2n-log": a line for the program's log
    MicOpen,             // "msg-w2n-device-mic-open"
    MicClose,            // "msg-w2n-device-mic-close"
    CloseWindowResponse, // "msg-w2n-close-window-response": the page takes the close request over
    CloseWindow,         // "msg-w2n-close-window": the page asks the window to close
    EnvRequest,          // "msg-w2n-request-env": the page asks for the client environment
    SetVideoProfile,     // "msg-w2n-set-video-profile": the page asks for a camera picture size
    Unknown,             // a "key" that names none of the above
};

// One decoded page message. Members the message lacks, or holds with another JSON type, read as 0 or empty.
struct PageMessage
{
    PageMessageKind kind = PageMessageKind::Ignored;
    QString key;               // the "key" text (empty for Ignored and VideoPlaying)
    bool videoPlaying = false; // VideoPlaying: "WPVideo" is exactly "Play"
    quint32 userId = 0;        // PpApiShowed/Hidden: "userId", a JSON string read as a signed 32-bit decimal
    QString domId;             // PpApiShowed/Hidden, ButtonClicked: "domId"
    QString logLevel;          // Log: "level"
    QString logText;           // Log: "log"
    int videoProfileSize = 0;  // SetVideoProfile: "size", a JSON number
};

// Decodes a page message. The text is read as UTF-8 JSON; anything but an object is Ignored. A "WPVideo" member
// wins over "key"; keys are compared case-sensitively and whole.
PageMessage readPageMessage(const QString& text);

// The compact JSON object of a message to the page: "key", "userId" as a decimal text, then each extra entry as a
// text member (an extra "key" or "userId" replaces the one before); members in ascending key order.
QByteArray pageMessageJson(const QString& key, quint32 userId, const QMap<QString, QString>& extra = {});

// "passMessage(<pageMessageJson>)": the page receives the message as an object literal.
QString passMessageScript(const QString& key, quint32 userId, const QMap<QString, QString>& extra = {});
