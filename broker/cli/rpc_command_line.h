// The command line of vorn-rpc:
//   vorn-rpc [--server HOST] [--port N] [--context NAME] [--rpc-version V] [--timeout SECONDS]
//            RPC-NAME [PARAM ...]
// with parameters lit:TEXT, ref:TEXT, list:SUB=VALUE (consecutive entries form one list
// parameter) and list: (starts a new, possibly empty, list parameter).
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vorn {
class TParams;
}

namespace vorn::cli {

struct RpcParameter {
    enum Kind { Literal, Reference, List } kind;
    QString value;                                  // literal and reference
    std::vector<std::pair<QString, QString>> list;  // subscript and value, in order
};

struct RpcCommand {
    std::optional<QString> server;
    std::optional<int> port;
    std::optional<QString> context;
    std::optional<QString> rpcVersion;
    std::optional<int> timeout;
    bool help = false;
    QString procedure;
    std::vector<RpcParameter> parameters;

    // Fills a broker's parameter list in order, from index 0.
    void FillParams(TParams& params) const;
};

// Parses the arguments after the program name. A usage error gives nothing and sets `error`.
std::optional<RpcCommand> ParseRpcCommand(const QStringList& args, QString& error);

QString RpcUsage();

}  // namespace vorn::cli
