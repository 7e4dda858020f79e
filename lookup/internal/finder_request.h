// The finder's call and the reading of its reply, as plain functions.
#pragma once

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"
#include "source/vorn_types.h"

namespace vorn::finder {

struct Query {
    QString file;
    QStringList fields;
    bool lookup = false;  // a value is looked up ("VRNX FINDER") rather than an index walked
    QStringList partList;
    QString finderFlags;
    TvornListerFlags listerFlags;
    QString rpcVersion = QStringLiteral("0");
    QString identifier;
    QString iens;
    QString number;
    QString screen;
    QString fmIndex;
    QStringList fromLines;
    QString fromIen;
    QString ddFile;
    QString ddField;
};

// "VRNX FINDER" when a lookup was asked for with a value, else "DDR LISTER".
bool IsLookup(const Query& query);
RpcRequest Request(const Query& query);

struct Reply {
    QStringList data;
    bool more = false;
    QStringList fromList;  // the continuation's index values
    QString fromIen;       // and record number
    QStringList errors;
};
Reply ReadReply(const RpcReply& reply);

}  // namespace vorn::finder
