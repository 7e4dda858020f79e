#include "broker/cli/rpc_command_line.h"

#include "broker/rpc_params.h"

namespace vorn::cli {
namespace {

std::optional<int> Number(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 0) return std::nullopt;
    return n;
}

}  // namespace

QString RpcUsage() {
    return QStringLiteral(
        "usage: vorn-rpc [--server HOST] [--port N] [--context NAME] [--rpc-version V]\n"
        "                [--timeout SECONDS] RPC-NAME [PARAM ...]\n"
        "\n"
        "Signs on to an M server through the broker, optionally opens an application context,\n"
        "calls the remote procedure RPC-NAME and prints each result line on its own line.\n"
        "\n"
        "Parameters, in order from parameter 0:\n"
        "  lit:TEXT        a literal parameter\n"
        "  ref:TEXT        a reference parameter\n"
        "  list:SUB=VALUE  an entry of a list parameter (the first \"=\" ends the subscript);\n"
        "                  consecutive entries form one list parameter\n"
        "  list:           starts a new, possibly empty, list parameter\n"
        "Subscripts are sent exactly as given: list:'\"FILE\"=80001' list:'\"FROM\",\"IEN\"=12'.\n"
        "\n"
        "Options:\n"
        "  --server HOST      server host (default: the broker setting \"Server\")\n"
        "  --port N           listener port (default: the broker setting \"ListenerPort\")\n"
        "  --context NAME     create this application context before the call\n"
        "  --rpc-version V    RPC version sent with the call (default 0)\n"
        "  --timeout SECONDS  call time limit (at least 30)\n"
        "  --help             this text\n"
        "\n"
        "Codes: the environment variable VORN_CODES=\"ACCESS;VERIFY\", otherwise they are asked\n"
        "on the terminal without echo (never given as arguments). A verify code that must be\n"
        "changed is asked the same way. The server's sign-on messages go to standard error.\n"
        "\n"
        "Exit status: 0 success, 1 broker error (on standard error), 2 usage error.\n");
}

std::optional<RpcCommand> ParseRpcCommand(const QStringList& args, QString& error) {
    RpcCommand command;
    int i = 0;
    auto value = [&](const QString& option) -> std::optional<QString> {
        if (i + 1 >= args.size()) {
            error = option + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        return args[++i];
    };
    for (; i < args.size() && args[i].startsWith(QLatin1String("--")); ++i) {
        const QString option = args[i];
        if (option == QLatin1String("--help")) {
            command.help = true;
            return command;
        }
        const auto v = value(option);
        if (!v) return std::nullopt;
        if (option == QLatin1String("--server")) {
            command.server = *v;
        } else if (option == QLatin1String("--context")) {
            command.context = *v;
        } else if (option == QLatin1String("--rpc-version")) {
            command.rpcVersion = *v;
        } else if (option == QLatin1String("--port") || option == QLatin1String("--timeout")) {
            const auto n = Number(*v);
            if (!n || (option == QLatin1String("--port") && (*n < 1 || *n > 65535))) {
                error = option + QStringLiteral(" needs a number, not \"") + *v + '"';
                return std::nullopt;
            }
            (option == QLatin1String("--port") ? command.port : command.timeout) = *n;
        } else {
            error = QStringLiteral("unknown option ") + option;
            return std::nullopt;
        }
    }
    if (i >= args.size()) {
        error = QStringLiteral("the remote procedure's name is missing");
        return std::nullopt;
    }
    command.procedure = args[i++];
    bool inList = false;  // the previous parameter was a list that entries may still join
    for (; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg.startsWith(QLatin1String("lit:")) || arg.startsWith(QLatin1String("ref:"))) {
            command.parameters.push_back({arg.startsWith(QLatin1String("lit:"))
                                              ? RpcParameter::Literal
                                              : RpcParameter::Reference,
                                          arg.mid(4),
                                          {}});
            inList = false;
        } else if (arg == QLatin1String("list:")) {
            command.parameters.push_back({RpcParameter::List, {}, {}});
            inList = true;
        } else if (arg.startsWith(QLatin1String("list:"))) {
            const QString entry = arg.mid(5);
            const int eq = entry.indexOf('=');
            if (eq <= 0) {
                error = QStringLiteral("a list entry needs SUB=VALUE with a subscript: ") + arg;
                return std::nullopt;
            }
            if (!inList) command.parameters.push_back({RpcParameter::List, {}, {}});
            command.parameters.back().list.emplace_back(entry.left(eq), entry.mid(eq + 1));
            inList = true;
        } else {
            error = QStringLiteral("a parameter must start with lit:, ref: or list: : ") + arg;
            return std::nullopt;
        }
    }
    return command;
}

void RpcCommand::FillParams(TParams& params) const {
    for (int i = 0; i < static_cast<int>(parameters.size()); ++i) {
        const RpcParameter& p = parameters[i];
        TParamRecord& record = params[i];
        switch (p.kind) {
            case RpcParameter::Literal:
                record.ParamKind = TParamType::literal;
                record.Value = p.value;
                break;
            case RpcParameter::Reference:
                record.ParamKind = TParamType::reference;
                record.Value = p.value;
                break;
            case RpcParameter::List:
                record.ParamKind = TParamType::list;
                for (const auto& [sub, value] : p.list)
                    record.Mult[sub] = value;
                break;
        }
    }
}

}  // namespace vorn::cli
