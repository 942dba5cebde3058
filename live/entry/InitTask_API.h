#pragma once

#include "live/entry/InitTask.h"

class QRunContext;

// The name of the run context both class-service steps start their requests in.
inline constexpr char kApiStepRunContext[] = "InitTask_API_LoadClassInfo";

// Kind 16: starts the owed-log upload, fills the not-recommended device lists, then loads the lesson's
// information from the RESTful address (backup addresses first) and parses it into the lesson record, the
// teacher's record and the member map. Done when a reply was parsed; failed when every request failed.
class InitTask_API_LoadClassInfo : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_API_LoadClassInfo(s_InitTask_Params* params, QObject* parent = nullptr);
    ~InitTask_API_LoadClassInfo() override;

public slots:
    void runTask() override;

private:
    QRunContext* m_context = nullptr;
};

// Kind 32: tells the class service that the user enters the class, at the API address (backup addresses
// first). Done when one request succeeded.
class InitTask_API_EnterClass : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_API_EnterClass(s_InitTask_Params* params, QObject* parent = nullptr);
    ~InitTask_API_EnterClass() override;

public slots:
    void runTask() override;

private:
    QRunContext* m_context = nullptr;
};
