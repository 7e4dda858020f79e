#include "broker/rpc_params.h"

namespace vorn {

TMult::TMult(QObject* owner) : QObject(owner) {}

QString TMult::OwnerChain() const {
    const QString own = objectName().isEmpty() ? QStringLiteral("TMult_instance") : objectName();
    const auto* param = qobject_cast<const TParamRecord*>(parent());
    const auto* params = param ? qobject_cast<const TParams*>(param->parent()) : nullptr;
    const QObject* broker = params ? params->parent() : nullptr;
    if (!broker || !broker->inherits("vorn::TRPCBroker")) return own;
    const QString brokerName = broker->objectName().isEmpty()
                                   ? QStringLiteral("TRPCBroker_instance")
                                   : broker->objectName();
    return brokerName + QStringLiteral(".Param[") + QString::number(params->IndexOf(param)) +
           QStringLiteral("].") + own;
}

QString TMult::Item(const QString& subscript) const {
    const auto it = index_.constFind(Key(subscript));
    if (it == index_.constEnd())
        throw EMultUndefined(OwnerChain() + '[' + subscript + QStringLiteral("]\r\nis undefined"));
    return entries_[*it].value;
}

void TMult::SetItem(const QString& subscript, const QString& value) {
    const QString key = Key(subscript);
    const auto it = index_.constFind(key);
    if (it != index_.constEnd()) {
        entries_[*it].value = value;
        return;
    }
    index_.insert(key, static_cast<int>(entries_.size()));
    entries_.append({subscript, value});
}

QString TMult::FirstSubscript() const {
    return entries_.isEmpty() ? QString() : entries_.first().subscript;
}
QString TMult::LastSubscript() const {
    return entries_.isEmpty() ? QString() : entries_.last().subscript;
}

int TMult::IndexOfSubscript(const QString& subscript) const {
    return index_.value(Key(subscript), -1);
}

QString TMult::Step(const QString& subscript, int direction) const {
    if (subscript.isEmpty()) return direction < 1 ? LastSubscript() : FirstSubscript();
    const int i = IndexOfSubscript(subscript);
    if (i < 0) return {};
    if (direction >= 1 && i + 1 < Count()) return entries_[i + 1].subscript;
    if (direction < 0 && i > 0) return entries_[i - 1].subscript;
    return {};
}

void TMult::Clear() {
    entries_.clear();
    index_.clear();
}

void TMult::Assign(const TMult& source) {
    if (&source == this) return;
    Clear();
    for (const Entry& e : source.entries_)
        SetItem(e.subscript, e.value);
}

void TMult::Assign(const QStringList& lines) {
    Clear();
    for (int k = 0; k < lines.size(); ++k)
        SetItem(QString::number(k), lines[k]);
}

TParamRecord::TParamRecord(QObject* owner) : QObject(owner), Mult(*new TMult(this)) {
    Mult.setObjectName(QStringLiteral("Mult"));
}

TParams::TParams(QObject* owner) : QObject(owner) {}

TParamRecord& TParams::operator[](int index) {
    if (index < 0 || index >= kMaxCount)
        throw std::out_of_range("parameter index " + std::to_string(index) + " is outside 0.." +
                                std::to_string(kMaxCount - 1));
    while (slots_.size() <= index)
        slots_.append(nullptr);
    if (!slots_[index]) slots_[index] = new TParamRecord(this);
    return *slots_[index];
}

const TParamRecord* TParams::At(int index) const {
    return index >= 0 && index < slots_.size() ? slots_[index] : nullptr;
}

TParamRecord* TParams::At(int index) {
    return index >= 0 && index < slots_.size() ? slots_[index] : nullptr;
}

int TParams::IndexOf(const TParamRecord* param) const {
    for (int i = 0; i < slots_.size(); ++i)
        if (slots_[i] == param) return i;
    return -1;
}

void TParams::Clear() {
    qDeleteAll(slots_);
    slots_.clear();
}

void TParams::Assign(const TParams& source) {
    if (&source == this) return;
    Clear();
    for (int i = 0; i < source.Count(); ++i) {
        const TParamRecord* from = source.At(i);
        TParamRecord& to = (*this)[i];
        if (!from) continue;
        to.Value = from->Value;
        to.ParamKind = from->ParamKind;
        to.Mult.Assign(from->Mult);
    }
}

}  // namespace vorn
