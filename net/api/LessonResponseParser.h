#pragma once

#include <QByteArray>
#include <QVariant>

class AppGlobalData;
class UrlConfig;

// Reads the class service's lesson reply (GET /classroom/lesson/<periodId>) into the application data and the
// URL configuration: the lesson record, the teacher's record, the member map and the class message server
// address. Whatever the reply holds, each call replaces the lesson record and the member map and updates the
// teacher's record and the websocket address; missing fields read as empty texts, ids as "0".
//
// GUI thread only: the application data and the URL configuration are written without a lock.

// Into AppGlobalData::instance() and UrlConfig::instance(). Always true.
bool parseLessonResponse(const QByteArray& reply);
// Into the given objects (tests). Always true.
bool parseLessonResponse(const QByteArray& reply, AppGlobalData& appData, UrlConfig& urls);

// The "Response" property a lesson request task leaves: false, with nothing changed, when it holds no byte
// array (the task left no reply); else parseLessonResponse of the bytes.
bool parseLessonResponseProperty(const QVariant& response);
