#pragma once

#include "net/http/ApiParamList.h"

#include <QString>

// Values and pair groups that many class-service calls share.
namespace ApiCommonParams {

// "1" for a pupil (1) or a teacher (2), otherwise "3".
QString roleType(int accountType);

// The version of the installed offline web resources; empty when none are installed.
QString installedWebVersion();

// Tail A: "v", "p", "systemVersion", "c".
void appendTailA(ApiParamList& list, const QString& version);
// Tail B: "p", "systemVersion", "v", "c".
void appendTailB(ApiParamList& list, const QString& version);

// The common pairs of RESTful calls and problem reports: "c", "v", "p", "a", "t", "userId", "token", then "s"
// over everything in the list before it.
void appendRestfulCommonPairs(ApiParamList& list, const QString& version, const QString& platform, int paramA,
                              qint64 secondsSince1970, const QString& userId, const QString& token);

// Appends "s", the signature of every pair before it.
void appendSignature(ApiParamList& list);

// scheme://host[:port] of a configured RESTful address: user information, path, query and fragment are
// dropped; the configured port is kept. An address without scheme or host gives "://" and the host as found.
QString restfulBase(const QString& configured);

} // namespace ApiCommonParams
