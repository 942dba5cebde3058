#pragma once

namespace Platform {

// The forms name "Microsoft YaHei UI", "Microsoft YaHei" and "微软雅黑", which Linux lacks. Where none of them is
// installed, this process's font configuration takes Liberation Sans in their place (Latin widths close to theirs,
// so the forms' fixed-size labels keep their texts whole), then WenQuanYi Micro Hei for Chinese. Call before the
// application object exists; false when the font configuration refused the rules.
bool installUiFontFallback();

} // namespace Platform
