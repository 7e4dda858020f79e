#include "broker/broker_error.h"

#include <gtest/gtest.h>

#include <netdb.h>
#include <cerrno>

#include "broker/socket_errors.h"

namespace vorn {
namespace {

TEST(EBrokerError, MessageFormNamesTheStepAndTheError) {
    net::SetLastSocketError(10061);
    try {
        RaiseBrokerError("connect", 0);
        FAIL();
    } catch (const EBrokerError& e) {
        EXPECT_EQ(e.Message(),
                  "Error encountered.\nFunction was: connect\nError was: WSAECONNREFUSED");
        EXPECT_STREQ(e.what(),
                     "Error encountered.\nFunction was: connect\nError was: WSAECONNREFUSED");
        EXPECT_EQ(e.FailedStep(), "connect");
        EXPECT_EQ(e.ErrorCode(), 10061);
        EXPECT_EQ(e.ErrorName(), "WSAECONNREFUSED");
    }
}

TEST(EBrokerError, ABrokerCodeIsUsedUnchanged) {
    net::SetLastSocketError(10061);
    const EBrokerError e = MakeBrokerError("", kBrokerSignonFailed);
    EXPECT_EQ(e.ErrorCode(), 20004);
    EXPECT_EQ(e.Message(),
              "Error encountered.\nFunction was: \nError was: Sign-on was not completed.");
}

struct NameCase {
    int code;
    const char* name;
};

class ErrorNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(ErrorNames, AreTakenFromTheTable) {
    EXPECT_EQ(BrokerErrorName(GetParam().code), QString::fromLatin1(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorNames,
    ::testing::Values(NameCase{10004, "WSAEINTR"}, NameCase{10014, "WSAEFAULT"},
                      NameCase{10035, "WSAEWOULDBLOCK"}, NameCase{10054, "WSAECONNRESET"},
                      NameCase{10059, "WSAETOOMANYREFS"}, NameCase{10061, "WSAECONNREFUSED"},
                      NameCase{10071, "WSAEREMOTE"}, NameCase{10093, "WSANOTINITIALISED"},
                      NameCase{11001, "WSAHOST_NOT_FOUND"}, NameCase{11004, "WSANO_DATA"},
                      NameCase{20002, "M Error - Use ^XTER"},
                      NameCase{20005, "BrokerConnections list could not be created"},
                      NameCase{20006, "RpcVersion cannot be empty.\rDefault is 0 (zero)."},
                      NameCase{20201, "Remote procedure not registered to application."},
                      // Codes outside the table are named by their number.
                      NameCase{10009, "10009"}, NameCase{10002, "10002"}, NameCase{0, "0"}));

struct ErrnoCase {
    int err;
    int wsa;
};

class ErrnoMapping : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(ErrnoMapping, GivesTheWindowsSocketNumber) {
    EXPECT_EQ(net::WsaErrorFromErrno(GetParam().err), GetParam().wsa);
}

INSTANTIATE_TEST_SUITE_P(
    Posix, ErrnoMapping,
    ::testing::Values(ErrnoCase{ECONNREFUSED, 10061}, ErrnoCase{EINTR, 10004},
                      ErrnoCase{ECONNRESET, 10054}, ErrnoCase{EPIPE, 10058},
                      ErrnoCase{ETIMEDOUT, 10060}, ErrnoCase{ENETDOWN, 10050},
                      ErrnoCase{ENETUNREACH, 10051}, ErrnoCase{EHOSTUNREACH, 10065},
                      ErrnoCase{EADDRINUSE, 10048}, ErrnoCase{EADDRNOTAVAIL, 10049},
                      ErrnoCase{EAGAIN, 10035}, ErrnoCase{EBADF, 10009}, ErrnoCase{EMFILE, 10024},
                      ErrnoCase{ENOTCONN, 10057}, ErrnoCase{ENOTSOCK, 10038}));

TEST(ResolverErrors, MapToTheHostErrors) {
    EXPECT_EQ(net::WsaErrorFromResolver(EAI_NONAME), 11001);
    EXPECT_EQ(net::WsaErrorFromResolver(EAI_AGAIN), 11002);
    EXPECT_EQ(net::WsaErrorFromResolver(EAI_FAIL), 11003);
}

}  // namespace
}  // namespace vorn
