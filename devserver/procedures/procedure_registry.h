// Remote procedures by name, each with the handler that answers it and the authorisation it
// needs. Dispatch does the checks, so a handler only runs for a session that may call it:
//
//   BeforeSignOn       the sign-on procedures, callable by anyone
//   PendingOrSignedOn  "XUS CVC": a user whose verify code must change, or a signed-on one
//   SignedOn           "XWB CREATE CONTEXT"
//   Application        DDR, VRNX, ZORADOD: a signed-on user who created the procedure's context
//
// Before sign-on anything else is "You are not signed on." (whether or not it exists, so that
// an anonymous peer learns nothing); an unknown name is "Remote procedure 'NAME' doesn't exist
// on the server."; a missing context "Application context has not been created!". A handler
// that throws is answered with an M error naming the procedure, and the session goes on.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "devserver/net/call_parser.h"
#include "devserver/net/reply.h"

namespace vorn::devserver {

class Session;

enum class Access { BeforeSignOn, PendingOrSignedOn, SignedOn, Application };

using Handler = std::function<Reply(Session& session, const Call& call)>;

// The application context of the demo; every Application procedure belongs to it unless
// registered otherwise.
inline constexpr const char* kDemoContext = "ZAZIRERO";

struct Procedure {
    std::string name;
    Access access = Access::Application;
    std::string context = kDemoContext;
    Handler handler;
};

class ProcedureRegistry {
  public:
    // Adds or replaces a procedure.
    void Add(std::string name, Access access, Handler handler, std::string context = kDemoContext);
    const Procedure* Find(std::string_view name) const;
    std::size_t Size() const { return procedures_.size(); }

    // Checks the session's right to the call, runs the handler and returns its reply.
    Reply Dispatch(Session& session, const Call& call) const;

  private:
    std::map<std::string, Procedure, std::less<>> procedures_;
};

// Every procedure the server answers (devserver/procedures/procedures.cpp lists the groups).
void RegisterAllProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
