#pragma once

#include "plugin/pp/Module.h"

// The plug-in's module: makes a ZmPpApiInstance for every element.
class VarArrayBufferModule : public pp::Module
{
public:
    VarArrayBufferModule() = default;
    ~VarArrayBufferModule() override; // frees the scaling contexts

    bool Init() override;
    pp::Instance* CreateInstance(PP_Instance instance) override;
};
