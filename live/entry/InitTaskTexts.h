#pragma once

#include <QString>

// The three user-facing texts of each class-entry step kind, translated (context "InitTask"). Kinds without a
// step (and the wiring step) have empty texts.
namespace InitTaskTexts {

QString runningText(int kind);
QString failureText(int kind);
QString hintText(int kind);

} // namespace InitTaskTexts
