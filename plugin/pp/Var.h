#pragma once

#include "plugin/pp/PepperC.h"

#include <string>

namespace pp {

// A browser value. Strings and dictionaries are reference-counted by the browser; a Var holds one reference.
class Var
{
public:
    struct PassRef
    {
    };

    Var(); // undefined
    Var(int32_t value);
    Var(const char* utf8);
    Var(const std::string& utf8);
    explicit Var(const PP_Var& var); // takes a reference of its own
    Var(PassRef, const PP_Var& var); // takes over the caller's reference
    Var(const Var& other);
    Var& operator=(const Var& other);
    virtual ~Var();

    bool is_undefined() const { return m_var.type == PP_VARTYPE_UNDEFINED; }
    bool is_int() const { return m_var.type == PP_VARTYPE_INT32; }
    bool is_string() const { return m_var.type == PP_VARTYPE_STRING; }
    bool is_dictionary() const { return m_var.type == PP_VARTYPE_DICTIONARY; }

    // The text of a string value; empty for any other type.
    std::string AsString() const;
    const PP_Var& pp_var() const { return m_var; }

protected:
    PP_Var m_var;
};

// A dictionary value; made from a Var that is not a dictionary it is undefined.
class VarDictionary : public Var
{
public:
    explicit VarDictionary(const Var& var);

    bool HasKey(const Var& key) const;
    // The value under key, undefined when there is none.
    Var Get(const Var& key) const;
};

} // namespace pp
