#pragma once
// Enumerations (windows, monitors) call us back through the platform's own frames,
// which no C++ exception may unwind. The callback body runs under Run: an exception
// ends the enumeration and is kept, and Rethrow throws it again once the platform
// call has returned to our own code.

#include <windows.h>

#include <exception>
#include <utility>

class TCallbackError {
public:
    // body() answers whether the enumeration goes on.
    template <typename Body>
    BOOL Run(Body&& body) noexcept
    {
        try {
            return body() ? TRUE : FALSE;
        } catch (...) {
            error_ = std::current_exception();
            return FALSE;
        }
    }

    void Rethrow()
    {
        if (error_)
            std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    std::exception_ptr error_;
};
