#pragma once

#include "plugin/pp/PepperC.h"

#include <memory>

namespace pp {

// A completion handed to the browser. The browser calls it exactly once, unless the call that took it failed at
// once: then its owner calls Drop() (or Run() to deliver the failure) instead.
class CompletionCallback
{
public:
    CompletionCallback() = default;
    CompletionCallback(PP_CompletionCallback_Func func, void* userData, void (*drop)(void*))
        : m_callback{func, userData, PP_COMPLETIONCALLBACK_FLAG_NONE}
        , m_drop(drop)
    {
    }

    const PP_CompletionCallback& pp_completion_callback() const { return m_callback; }
    bool IsNull() const { return m_callback.func == nullptr; }
    void Run(int32_t result) const
    {
        if (m_callback.func)
            m_callback.func(m_callback.user_data, result);
    }
    void Drop() const
    {
        if (m_drop)
            m_drop(m_callback.user_data);
    }

private:
    PP_CompletionCallback m_callback{nullptr, nullptr, PP_COMPLETIONCALLBACK_FLAG_NONE};
    void (*m_drop)(void*) = nullptr;
};

// Makes completions that call a method of one object. Once the factory is gone (with its object), completions
// that still arrive do nothing.
template <typename T> class CompletionCallbackFactory
{
public:
    explicit CompletionCallbackFactory(T* object = nullptr)
        : m_back(std::make_shared<Back>(Back{object}))
    {
    }
    ~CompletionCallbackFactory() { m_back->object = nullptr; }

    CompletionCallbackFactory(const CompletionCallbackFactory&) = delete;
    CompletionCallbackFactory& operator=(const CompletionCallbackFactory&) = delete;

    void Initialize(T* object) { m_back->object = object; }

    CompletionCallback NewCallback(void (T::*method)(int32_t))
    {
        return CompletionCallback(&Thunk::Run, new Thunk{m_back, method}, &Thunk::Drop);
    }

private:
    struct Back
    {
        T* object;
    };
    struct Thunk
    {
        std::shared_ptr<Back> back;
        void (T::*method)(int32_t);

        static void Run(void* data, int32_t result)
        {
            std::unique_ptr<Thunk> thunk(static_cast<Thunk*>(data));
            if (T* object = thunk->back->object)
                (object->*(thunk->method))(result);
        }
        static void Drop(void* data) { delete static_cast<Thunk*>(data); }
    };

    std::shared_ptr<Back> m_back;
};

} // namespace pp
