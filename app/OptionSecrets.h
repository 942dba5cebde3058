#pragma once

#include <QString>

// Keeps the values of the secret options ("--token", "--authtoken") out of the log. A value is found the way the
// parser finds it: after every split and percent-decoding the parser applies to the text, with the option's name
// compared once decoded and lower-cased, so "--%74oken=", "--token%253D" in a link or "token=" after a link's "?"
// are caught as surely as "--token=".

// The ways the program reads a printed text; combined with "|".
enum OptionTextKind : unsigned
{
    OptionTextKind_Option = 1,   // an option text "--name=value", as readOptionTable takes it
    OptionTextKind_Argument = 2, // a command-line argument or a piece of an opened link: splitOptionText first
    OptionTextKind_Link = 4,     // a link handed to the running copy: its URL form, then splitOpenedLink first
    OptionTextKind_AppLink = 8,  // as Link when the text, or the text after a leading "--", is a link of the program
};

// The text with the value of every secret option that the parser would read from it in any of the kinds
// replaced by "***". When a link's URL form differs from the text and holds a secret, everything after the
// scheme is replaced.
QString maskOptionSecrets(const QString& text, unsigned kinds);
