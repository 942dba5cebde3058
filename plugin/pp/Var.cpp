#include "plugin/pp/Var.h"

#include "plugin/pp/Module.h"

namespace pp {

namespace {

bool isCounted(const PP_Var& var)
{
    return var.type >= PP_VARTYPE_STRING && var.type != PP_VARTYPE_RESOURCE;
}

void addRef(const PP_Var& var)
{
    const BrowserInterfaces* b = Module::Browser();
    if (!b || !isCounted(var))
        return;
    if (b->var)
        b->var->AddRef(var);
    else if (b->var_1_0)
        b->var_1_0->AddRef(var);
}

void release(const PP_Var& var)
{
    const BrowserInterfaces* b = Module::Browser();
    if (!b || !isCounted(var))
        return;
    if (b->var)
        b->var->Release(var);
    else if (b->var_1_0)
        b->var_1_0->Release(var);
}

PP_Var undefinedVar()
{
    PP_Var var{};
    var.type = PP_VARTYPE_UNDEFINED;
    return var;
}

PP_Var stringVar(const char* data, size_t length)
{
    const BrowserInterfaces* b = Module::Browser();
    if (!b)
        return undefinedVar();
    if (b->var)
        return b->var->VarFromUtf8(data, uint32_t(length));
    if (b->var_1_0)
        return b->var_1_0->VarFromUtf8(Module::Get()->pp_module(), data, uint32_t(length));
    return undefinedVar();
}

} // namespace

Var::Var()
    : m_var(undefinedVar())
{
}

Var::Var(int32_t value)
    : m_var(undefinedVar())
{
    m_var.type = PP_VARTYPE_INT32;
    m_var.value.as_int = value;
}

Var::Var(const char* utf8)
    : Var(std::string(utf8 ? utf8 : ""))
{
}

Var::Var(const std::string& utf8)
    : m_var(stringVar(utf8.data(), utf8.size()))
{
}

Var::Var(const PP_Var& var)
    : m_var(var)
{
    addRef(m_var);
}

Var::Var(PassRef, const PP_Var& var)
    : m_var(var)
{
}

Var::Var(const Var& other)
    : m_var(other.m_var)
{
    addRef(m_var);
}

Var& Var::operator=(const Var& other)
{
    if (this != &other) {
        addRef(other.m_var);
        release(m_var);
        m_var = other.m_var;
    }
    return *this;
}

Var::~Var()
{
    release(m_var);
}

std::string Var::AsString() const
{
    const BrowserInterfaces* b = Module::Browser();
    if (!is_string() || !b)
        return {};
    uint32_t length = 0;
    const char* text =
        b->var ? b->var->VarToUtf8(m_var, &length) : (b->var_1_0 ? b->var_1_0->VarToUtf8(m_var, &length) : nullptr);
    return text ? std::string(text, length) : std::string();
}

VarDictionary::VarDictionary(const Var& var)
    : Var(var.is_dictionary() ? var : Var())
{
}

bool VarDictionary::HasKey(const Var& key) const
{
    const BrowserInterfaces* b = Module::Browser();
    return is_dictionary() && b && b->dictionary && b->dictionary->HasKey(m_var, key.pp_var()) == PP_TRUE;
}

Var VarDictionary::Get(const Var& key) const
{
    const BrowserInterfaces* b = Module::Browser();
    if (!is_dictionary() || !b || !b->dictionary)
        return Var();
    return Var(PassRef(), b->dictionary->Get(m_var, key.pp_var()));
}

} // namespace pp
