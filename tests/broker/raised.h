// The broker error an action raises: a failure of the test when it raises none.
#pragma once

#include <gtest/gtest.h>

#include "broker/broker_error.h"

namespace vorn::test {

template <typename F>
EBrokerError Raised(F&& f) {
    try {
        f();
    } catch (const EBrokerError& e) {
        return e;
    }
    ADD_FAILURE() << "no EBrokerError was raised";
    return EBrokerError("", "", 0, "");
}

}  // namespace vorn::test
