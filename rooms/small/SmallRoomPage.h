#pragma once

#include <QString>

// What the small class room tells its page in the page's address, in the order of the query.
struct SmallRoomPageQuery
{
    QString periodId;
    int userId = -1;
    QString token;
    QString webMode;
    QString lessonFolder; // the lesson's offline folder (a local path)
    QString language;     // the program's language: "cn" or anything else
    int accountType = 0;
};

// The small class room's page as a file address: the offline page at pagePath followed by the query
// "?periodId=&userId=&token=&mode=&ppt_path=&language=&accountType=" with these names in this order. Every value is
// percent-encoded (reserved characters included), so a token or folder holding '&', '#', '%' or spaces stays one
// value; ppt_path is the lesson folder as a file address; language is "zh-CN" for "cn", else "en". Without a page
// path the address is the query alone.
QString smallRoomPageAddress(const QString& pagePath, const SmallRoomPageQuery& query);

// The video profile of the RTC engine the page asks for with its picture height: 120 -> 0, 240 -> 20, 480 -> 40;
// -1 (leave the profile alone) for any other size.
int smallRoomVideoProfile(int pageSize);

// The page's volume scale (0-100) of an engine volume (0-255; values outside are taken as the nearest end), rounded
// down.
int smallRoomPageVolume(int engineVolume);
