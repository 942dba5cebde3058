#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#include <sanitizer/lsan_interface.h>
#define ZM_HAVE_LSAN 1
#endif
#endif

// Qt 5.15's JSON parser leaks when a duplicate key replaces a nested object after an earlier member
// ({"y":"","x":{"a":{"b":"c"}},"x":0}); that leak is Qt's, not the code under test. Allocations made while one of
// these lives are not reported as leaks.
class QtLeakScope
{
public:
    QtLeakScope() {}

private:
#ifdef ZM_HAVE_LSAN
    __lsan::ScopedDisabler m_disabler;
#endif
};
