// Sign-on, verify-code change, context creation and the user's data: "XUS SIGNON SETUP",
// "XUS INTRO MSG", "XUS AV CODE", "XUS CVC", "XUS AV HELP", "XWB CREATE CONTEXT",
// "VRNX USERDATA".
#pragma once

#include <string>

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterSignOnProcedures(ProcedureRegistry& registry);

// How many wrong sign-on tries a session gets; the last of them is refused outright.
inline constexpr int kSignOnAttempts = 5;

// Texts of the sign-on replies.
inline constexpr const char* kNotValidCodes = "Not a valid ACCESS CODE/VERIFY CODE pair.";
inline constexpr const char* kTooManyAttempts = "Too many invalid sign-on attempts.";
inline constexpr const char* kSuspended = "Your access has been suspended.";
inline constexpr const char* kMustChange = "You must change your VERIFY CODE at this time.";
inline constexpr const char* kVerifyRule =
    "A verify code is 8 to 20 characters long, holds at least one letter and at least one digit "
    "or punctuation mark, holds no \"^\", \";\" or \":\", and differs from the current one.";

// Why a new verify code is refused, or "" when it is acceptable.
std::string VerifyCodeProblem(const std::string& oldCode, const std::string& newCode,
                              const std::string& confirmation);

}  // namespace vorn::devserver
