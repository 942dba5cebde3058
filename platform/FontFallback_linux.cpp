#include "platform/FontFallback.h"

#include <fontconfig/fontconfig.h>

namespace {

// Accepted after the family itself: an installed original still wins. binding="same" keeps the strength of the
// family asked for, so the stand-in ranks as the form's own choice, not as a loose preference.
constexpr char kRules[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <alias binding="same">
    <family>Microsoft YaHei UI</family>
    <accept><family>Liberation Sans</family><family>WenQuanYi Micro Hei</family></accept>
  </alias>
  <alias binding="same">
    <family>Microsoft YaHei</family>
    <accept><family>Liberation Sans</family><family>WenQuanYi Micro Hei</family></accept>
  </alias>
  <alias binding="same">
    <family>微软雅黑</family>
    <accept><family>Liberation Sans</family><family>WenQuanYi Micro Hei</family></accept>
  </alias>
</fontconfig>
)";

} // namespace

bool Platform::installUiFontFallback()
{
    if (!FcInit())
        return false;
    return FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(kRules), FcTrue) ==
           FcTrue;
}
