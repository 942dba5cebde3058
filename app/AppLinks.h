#pragma once

#include <QString>

// Links that open the program ("zmquillo:..."), e.g. from a web page. The desktop entry registers the program
// as the handler of the scheme; a link carries the command-line options after "?", percent-encoded.

constexpr char kAppLinkScheme[] = "zmquillo";

// True when text is a link of the program's scheme (the scheme in any case).
bool isAppLink(const QString& text);

// The first argument after the program's path that is a link of the program's scheme, read as UTF-8, with one
// trailing "/" removed as for every argument; empty when there is none.
QString appLinkArgument(int argc, const char* const* argv);
