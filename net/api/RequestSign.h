#pragma once

#include "net/http/ApiParamList.h"

#include <QByteArray>
#include <QString>

// The alphabet shared with the class service; symbol i stands for the 4-bit value i.
QByteArray requestSignAlphabet();

// The signature "s" of a class-service call: 16 data symbols and 2 check symbols, all from the alphabet
// (16 distinct printable bytes). Empty, with a warning, when the alphabet has fewer than 16 symbols.
QString makeRequestSign(const ApiParamList& params, const QByteArray& alphabet);
