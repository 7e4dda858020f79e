// The parameter list of a remote procedure call: an indexed, self-extending list of
// parameters, each a literal, a reference or a subscripted list of values.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

#pragma GCC visibility push(default)
namespace vorn {

enum class TParamType : quint8 { literal = 0, reference = 1, list = 2, undefined = 3 };

// Raised when a list subscript that was never stored is read.
class EMultUndefined : public std::runtime_error {
  public:
    explicit EMultUndefined(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

  private:
    QString message_;
};

// Subscripted values of one list parameter. Entries keep the order in which their subscripts
// were first stored; subscripts match without regard to letter case.
class TMult : public QObject {
    Q_OBJECT

  public:
    explicit TMult(QObject* owner = nullptr);

    // Reads and writes through `mult[subscript]`.
    class ItemRef {
      public:
        ItemRef(TMult& mult, QString subscript) : mult_(mult), subscript_(std::move(subscript)) {}
        ItemRef& operator=(const QString& value) {
            mult_.SetItem(subscript_, value);
            return *this;
        }
        operator QString() const { return mult_.Item(subscript_); }

      private:
        TMult& mult_;
        QString subscript_;
    };
    ItemRef operator[](const QString& subscript) { return ItemRef(*this, subscript); }

    // The value stored under `subscript`; raises EMultUndefined when there is none.
    QString Item(const QString& subscript) const;
    // Replaces the value of an existing subscript in place, else appends a new entry.
    void SetItem(const QString& subscript, const QString& value);

    int Count() const { return static_cast<int>(entries_.size()); }
    QString FirstSubscript() const;
    QString LastSubscript() const;
    int IndexOfSubscript(const QString& subscript) const;
    // Walks in entry order: the empty subscript starts at the last entry (direction < 1) or the
    // first; otherwise the neighbour in `direction`, or the empty text at either end.
    QString Step(const QString& subscript, int direction) const;

    void Clear();
    void Assign(const TMult& source);
    // Line k of `lines` is stored under the subscript "k", counted from 0.
    void Assign(const QStringList& lines);

    // Entry access in order, for the message encoder.
    const QString& SubscriptAt(int index) const { return entries_[index].subscript; }
    const QString& ValueAt(int index) const { return entries_[index].value; }
    void SetValueAt(int index, const QString& value) { entries_[index].value = value; }

  private:
    struct Entry {
        QString subscript;
        QString value;
    };
    static QString Key(const QString& subscript) { return subscript.toCaseFolded(); }
    QString OwnerChain() const;

    QList<Entry> entries_;
    QHash<QString, int> index_;
};

class TParamRecord : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Value MEMBER Value)

  public:
    explicit TParamRecord(QObject* owner = nullptr);

    QString Value;
    TParamType ParamKind = TParamType::undefined;
    TMult& Mult;  // owned by this parameter
};

// Slots are created on demand: reading index i makes the list at least i + 1 long and puts a
// parameter of kind `undefined` into an empty slot.
class TParams : public QObject {
    Q_OBJECT

  public:
    // At most this many slots fit the list's 16-bit count.
    static constexpr int kMaxCount = 65535;

    explicit TParams(QObject* owner = nullptr);

    TParamRecord& operator[](int index);
    // The parameter in slot `index`, or nullptr for an empty slot or an index past the count.
    const TParamRecord* At(int index) const;
    TParamRecord* At(int index);
    int Count() const { return static_cast<int>(slots_.size()); }
    // Position of `param` in this list, or -1.
    int IndexOf(const TParamRecord* param) const;
    void Clear();
    void Assign(const TParams& source);

  private:
    QList<TParamRecord*> slots_;  // children of this object; nullptr for an empty slot
};

}  // namespace vorn

#pragma GCC visibility pop
