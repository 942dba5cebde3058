#pragma once

#include "app/StringUtil.h"

#include <QVector>

// The parameters of one class-service call (or of a signed page address): (key, value) pairs in the
// order they were appended; duplicate keys are allowed.
using ApiParamList = QVector<KeyValuePair>;
