// One remote procedure call as a value: the procedure's name and its parameters, built in one
// expression and run through the broker, which answers with an RpcReply.
//
//     const RpcReply reply = broker.Call(RpcRequest("DDR GETS ENTRY DATA")
//                                            .List(".DDR")
//                                            .Named("FILE", fileNumber)
//                                            .Named("IENS", iens));
#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "broker/rpc_params.h"

#pragma GCC visibility push(default)
namespace vorn {

class RpcRequest {
  public:
    struct Parameter {
        TParamType kind = TParamType::literal;
        QString value;
        // List entries in the order they are sent: (subscript as sent, value).
        QList<QPair<QString, QString>> entries;
    };

    explicit RpcRequest(QString procedure) : procedure_(std::move(procedure)) {}

    RpcRequest& Literal(const QString& value);
    RpcRequest& Reference(const QString& value);
    // Starts a list parameter; the entries that follow belong to it.
    RpcRequest& List(const QString& value = QString());
    // An entry of the list begun last, under `subscript` as it is sent ("1", "\"FROM\",\"IEN\"").
    // A subscript stored before (matched without regard to letter case) gets the new value in
    // its old place, as the broker's own lists do.
    RpcRequest& Entry(const QString& subscript, const QString& value);
    // An entry under the quoted string subscript: Named("FILE", v) sends "\"FILE\"".
    RpcRequest& Named(const QString& name, const QString& value);
    // Named(name, value), only when `value` is not empty.
    RpcRequest& NamedIfAny(const QString& name, const QString& value);

    const QString& Procedure() const { return procedure_; }
    const QList<Parameter>& Parameters() const { return params_; }
    // The value of entry `subscript` of list parameter `param`, or a null text when absent.
    QString EntryValue(const QString& subscript, int param = 0) const;
    // Fills a broker parameter list with these parameters (emptied first).
    void FillParams(TParams& params) const;

  private:
    Parameter& OpenList();

    QString procedure_;
    QList<Parameter> params_;
};

// "\"NAME\"": the M subscript of a string.
QString QuotedSubscript(const QString& name);

}  // namespace vorn

#pragma GCC visibility pop
