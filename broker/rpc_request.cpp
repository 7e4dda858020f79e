#include "broker/rpc_request.h"

#include <stdexcept>

namespace vorn {

QString QuotedSubscript(const QString& name) {
    return u'"' + name + u'"';
}

RpcRequest& RpcRequest::Literal(const QString& value) {
    params_.append({TParamType::literal, value, {}});
    return *this;
}

RpcRequest& RpcRequest::Reference(const QString& value) {
    params_.append({TParamType::reference, value, {}});
    return *this;
}

RpcRequest& RpcRequest::List(const QString& value) {
    params_.append({TParamType::list, value, {}});
    return *this;
}

RpcRequest::Parameter& RpcRequest::OpenList() {
    // An entry without a list before it is a fault of the caller's code, not of the data.
    if (params_.isEmpty() || params_.last().kind != TParamType::list)
        throw std::logic_error("RpcRequest: a list entry needs a list parameter before it");
    return params_.last();
}

RpcRequest& RpcRequest::Entry(const QString& subscript, const QString& value) {
    Parameter& list = OpenList();
    for (auto& entry : list.entries) {
        if (entry.first.compare(subscript, Qt::CaseInsensitive) == 0) {
            entry.second = value;
            return *this;
        }
    }
    list.entries.append({subscript, value});
    return *this;
}

RpcRequest& RpcRequest::Named(const QString& name, const QString& value) {
    return Entry(QuotedSubscript(name), value);
}

RpcRequest& RpcRequest::NamedIfAny(const QString& name, const QString& value) {
    if (!value.isEmpty()) Named(name, value);
    return *this;
}

QString RpcRequest::EntryValue(const QString& subscript, int param) const {
    if (param < 0 || param >= params_.size()) return {};
    for (const auto& entry : params_[param].entries)
        if (entry.first.compare(subscript, Qt::CaseInsensitive) == 0) return entry.second;
    return {};
}

void RpcRequest::FillParams(TParams& params) const {
    params.Clear();
    for (int i = 0; i < params_.size(); ++i) {
        const Parameter& p = params_[i];
        TParamRecord& record = params[i];
        record.Value = p.value;
        record.ParamKind = p.kind;
        for (const auto& [subscript, value] : p.entries)
            record.Mult.SetItem(subscript, value);
    }
}

}  // namespace vorn
