// The broker client's one exception type, with the fixed message form and the error names
// of socket and broker failures.
#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

#pragma GCC visibility push(default)
namespace vorn {

// Broker codes that are not socket errors.
inline constexpr int kBrokerMError = 20002;         // server M error; handshake refused
inline constexpr int kBrokerSignonFailed = 20004;   // sign-on was not completed
inline constexpr int kBrokerListFailed = 20005;     // connection list could not be made
inline constexpr int kBrokerEmptyVersion = 20006;   // RpcVersion cannot be empty
inline constexpr int kBrokerNotRegistered = 20201;  // procedure not registered to application
inline constexpr int kBrokerHandshakeLost = 10002;  // the server dropped the handshake

class EBrokerError : public std::runtime_error {
  public:
    EBrokerError(const QString& message, const QString& failedStep, int errorCode,
                 const QString& errorName);

    const QString& Message() const { return message_; }
    const QString& FailedStep() const { return failedStep_; }
    int ErrorCode() const { return errorCode_; }
    const QString& ErrorName() const { return errorName_; }

  private:
    QString message_;
    QString failedStep_;
    int errorCode_;
    QString errorName_;
};

// The name or text of a code, or its decimal text when the table has none.
QString BrokerErrorName(int code);

// "Error encountered." LF "Function was: " step LF "Error was: " name.
QString BrokerErrorMessage(const QString& failedStep, const QString& errorName);

// Builds the error for `failedStep`; a code of 0 takes this thread's last socket error.
EBrokerError MakeBrokerError(const QString& failedStep, int code);
[[noreturn]] void RaiseBrokerError(const QString& failedStep, int code);

// Single-byte text on the wire: every character of a QString is one byte (Latin-1).
QByteArray ToWireText(const QString& text);
QString FromWireText(const QByteArray& bytes);
// True when every character fits one byte.
bool IsWireText(const QString& text);

}  // namespace vorn

#pragma GCC visibility pop
