// The message of the error that a call raises, for the host and Win32 tests.
#pragma once

#include <string>

#include "base/Error.h"

namespace zelvane::test {

// What `call` raised as an Error; empty when it raised none.
template <typename Call>
std::string ErrorOf(Call&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

}  // namespace zelvane::test
