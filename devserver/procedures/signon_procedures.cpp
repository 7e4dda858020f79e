#include "devserver/procedures/signon_procedures.h"

#include <cctype>
#include <ctime>

#include "common/scramble.h"
#include "devserver/m/fm_dates.h"
#include "devserver/m/text.h"
#include "devserver/net/session.h"

namespace vorn::devserver {
namespace {

std::tm LocalTime(const Clock& clock) {
    const std::time_t t = std::chrono::system_clock::to_time_t(clock.WallNow());
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

// "DEC 6, 2026 at 14:03"
std::string SignOnTime(const Clock& clock) {
    const std::tm tm = LocalTime(clock);
    char hm[8];
    std::snprintf(hm, sizeof hm, "%02d:%02d", tm.tm_hour, tm.tm_min);
    return ExternalDate(InternalDate({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday})) + " at " + hm;
}

std::string Greeting(const Clock& clock, const std::string& name) {
    const int hour = LocalTime(clock).tm_hour;
    const char* part = hour < 12 ? "Good morning" : hour < 18 ? "Good afternoon" : "Good evening";
    return std::string(part) + " " + name;
}

// Lines 0..5 of an "XUS AV CODE" answer that signs nobody on.
Reply NotSignedOn(bool refused, bool mustChange, const std::string& message) {
    return Reply::Lines({"0", refused ? "1" : "0", mustChange ? "1" : "0", message, "0", "0"});
}

Reply SignonSetup(Session& s, const Call&) {
    const ServerContext& server = s.server();
    return Reply::Lines({server.serverName, "DEV", "VORN", std::to_string(server.port),
                         std::to_string(kSignOnAttempts), server.autoSignOn ? "1" : "0", "0"});
}

Reply IntroMessage(Session&, const Call&) {
    return Reply::Lines({
        "Welcome to the Vorn development server.",
        "",
        "It holds the demo data: persons, wards and clinics, lab tests, patients and lab results.",
        "Nothing here is real; change whatever you like.",
        "",
        "Demo users (access code / verify code):",
        "  DEMO / DEMO.1234        all rights on every demo file",
        "  READER / READER.1234    read and browse only",
        "  CHANGE / CHANGE.1234    must change the verify code at sign-on",
        "  LOCKED / LOCKED.1234    access suspended",
    });
}

Reply AccessVerify(Session& s, const Call& call) {
    if (s.failedAttempts >= kSignOnAttempts) return NotSignedOn(true, false, kTooManyAttempts);
    const std::string codes = Upper(Unscramble(call.Literal(0)));
    const auto semi = codes.find(';');
    const std::string access = codes.substr(0, semi);
    const std::string verify = semi == std::string::npos ? std::string() : codes.substr(semi + 1);
    const auto user = access.empty() ? std::nullopt : s.users().FindByCodes(access, verify);
    if (!user) {
        if (++s.failedAttempts >= kSignOnAttempts) {
            s.Note("sign-on refused after " + std::to_string(s.failedAttempts) + " wrong tries");
            return NotSignedOn(true, false, kTooManyAttempts);
        }
        return NotSignedOn(false, false, kNotValidCodes);
    }
    if (user->suspended) return NotSignedOn(true, false, kSuspended);
    if (user->mustChange) {
        s.SetPendingUser(user->duz);
        return NotSignedOn(false, true, kMustChange);
    }
    s.SignOn(*user);
    const std::string last = user->lastSignOn.empty()
                                 ? "This is your first sign-on."
                                 : "You last signed on " + user->lastSignOn + ".";
    if (!s.ReadOnly()) s.users().RecordSignOn(user->duz, SignOnTime(s.clock()));
    return Reply::Lines(
        {std::to_string(user->duz), "0", "0", "", "0", "2", Greeting(s.clock(), user->name), last});
}

Reply ChangeVerifyCode(Session& s, const Call& call) {
    const long duz = s.SignedOn() ? s.Duz() : s.PendingUser().value_or(0);
    const std::vector<std::string> parts = SplitText(call.Literal(0), '^');
    if (parts.size() != 3)
        return Reply::Lines({"1", "The new verify code must not hold \"^\", \";\" or \":\"."});
    const std::string oldCode = Upper(Unscramble(parts[0]));
    const std::string newCode = Upper(Unscramble(parts[1]));
    const std::string confirmation = Upper(Unscramble(parts[2]));
    if (!s.users().VerifyMatches(duz, oldCode))
        return Reply::Lines({"1", "The current verify code is not correct."});
    const std::string problem = VerifyCodeProblem(oldCode, newCode, confirmation);
    if (!problem.empty()) return Reply::Lines({"1", problem});
    s.users().ChangeVerify(duz, newCode);
    if (!s.SignedOn()) {
        const auto user = s.users().ByDuz(duz);
        if (!user) return Reply::Lines({"1", "The user is no longer on file."});
        s.SignOn(*user);
        if (!s.ReadOnly()) s.users().RecordSignOn(duz, SignOnTime(s.clock()));
    }
    return Reply::Lines({"0"});
}

Reply VerifyHelp(Session&, const Call&) {
    return Reply::Lines({kVerifyRule});
}

Reply CreateContext(Session& s, const Call& call) {
    const std::string name = Unscramble(call.Literal(0));
    if (name != kDemoContext || !s.user().MayUseContext(name))
        return Reply::Value("The context '" + name + "' does not exist on server.");
    s.AddContext(name);
    return Reply::Value("1");
}

Reply UserData(Session& s, const Call&) {
    return Reply::Lines({"[Data]", s.user().name + "^" + s.user().division});
}

}  // namespace

std::string VerifyCodeProblem(const std::string& oldCode, const std::string& newCode,
                              const std::string& confirmation) {
    if (newCode.size() < 8 || newCode.size() > 20)
        return "The new verify code must be 8 to 20 characters long.";
    if (newCode.find_first_of("^;:") != std::string::npos)
        return "The new verify code must not hold \"^\", \";\" or \":\".";
    bool letter = false, other = false;
    for (unsigned char c : newCode) {
        if (std::isalpha(c)) letter = true;
        if (std::isdigit(c) || std::ispunct(c)) other = true;
    }
    if (!letter || !other)
        return "The new verify code must hold a letter and a digit or a punctuation mark.";
    if (newCode == oldCode) return "The new verify code must differ from the current one.";
    if (confirmation != newCode) return "The confirmation does not match the new verify code.";
    return {};
}

void RegisterSignOnProcedures(ProcedureRegistry& r) {
    r.Add("XUS SIGNON SETUP", Access::BeforeSignOn, SignonSetup);
    r.Add("XUS INTRO MSG", Access::BeforeSignOn, IntroMessage);
    r.Add("XUS AV CODE", Access::BeforeSignOn, AccessVerify);
    r.Add("XUS CVC", Access::PendingOrSignedOn, ChangeVerifyCode);
    r.Add("XUS AV HELP", Access::BeforeSignOn, VerifyHelp);
    r.Add("XWB CREATE CONTEXT", Access::SignedOn, CreateContext);
    r.Add("VRNX USERDATA", Access::Application, UserData);
}

}  // namespace vorn::devserver
