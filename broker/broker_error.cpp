#include "broker/broker_error.h"

#include <QHash>

#include "broker/broker_ui.h"
#include "broker/internal/socket_errors.h"

namespace vorn {
namespace {

const QHash<int, QString>& Names() {
    static const QHash<int, QString> names = {
        {10004, "WSAEINTR"},
        {10014, "WSAEFAULT"},
        {10022, "WSAEINVAL"},
        {10024, "WSAEMFILE"},
        {10035, "WSAEWOULDBLOCK"},
        {10036, "WSAEINPROGRESS"},
        {10037, "WSAEALREADY"},
        {10038, "WSAENOTSOCK"},
        {10039, "WSAEDESTADDRREQ"},
        {10040, "WSAEMSGSIZE"},
        {10041, "WSAEPROTOTYPE"},
        {10042, "WSAENOPROTOOPT"},
        {10043, "WSAEPROTONOSUPPORT"},
        {10044, "WSAESOCKTNOSUPPORT"},
        {10045, "WSAEOPNOTSUPP"},
        {10046, "WSAEPFNOSUPPORT"},
        {10047, "WSAEAFNOSUPPORT"},
        {10048, "WSAEADDRINUSE"},
        {10049, "WSAEADDRNOTAVAIL"},
        {10050, "WSAENETDOWN"},
        {10051, "WSAENETUNREACH"},
        {10052, "WSAENETRESET"},
        {10053, "WSAECONNABORTED"},
        {10054, "WSAECONNRESET"},
        {10055, "WSAENOBUFS"},
        {10056, "WSAEISCONN"},
        {10057, "WSAENOTCONN"},
        {10058, "WSAESHUTDOWN"},
        {10059, "WSAETOOMANYREFS"},
        {10060, "WSAETIMEDOUT"},
        {10061, "WSAECONNREFUSED"},
        {10062, "WSAELOOP"},
        {10063, "WSAENAMETOOLONG"},
        {10064, "WSAEHOSTDOWN"},
        {10065, "WSAEHOSTUNREACH"},
        {10066, "WSAENOTEMPTY"},
        {10067, "WSAEPROCLIM"},
        {10068, "WSAEUSERS"},
        {10069, "WSAEDQUOT"},
        {10070, "WSAESTALE"},
        {10071, "WSAEREMOTE"},
        {10091, "WSASYSNOTREADY"},
        {10092, "WSAVERNOTSUPPORTED"},
        {10093, "WSANOTINITIALISED"},
        {11001, "WSAHOST_NOT_FOUND"},
        {11002, "WSATRY_AGAIN"},
        {11003, "WSANO_RECOVERY"},
        {11004, "WSANO_DATA"},
        {20001, "Insufficient Heap"},
        {20002, "M Error - Use ^XTER"},
        {20004, "Sign-on was not completed."},
        {20005, "BrokerConnections list could not be created"},
        {20006, "RpcVersion cannot be empty.\rDefault is 0 (zero)."},
        {20100,
         "System was out of memory, executable file was corrupt, or relocations were invalid."},
        {20102, "File was not found."},
        {20103, "Path was not found."},
        {20105,
         "Attempt was made to dynamically link to a task, or there was a sharing or "
         "network-protection error."},
        {20106, "Library required separate data segments for each task."},
        {20108, "There was insufficient memory to start the application."},
        {20110, "Windows version was incorrect."},
        {20111,
         "Executable file was invalid. Either it was not a Windows application or there was an "
         "error in the .EXE image."},
        {20112, "Application was designed for a different operating system."},
        {20201, "Remote procedure not registered to application."},
    };
    return names;
}

}  // namespace

EBrokerError::EBrokerError(const QString& message, const QString& failedStep, int errorCode,
                           const QString& errorName)
    : std::runtime_error(message.toStdString()),
      message_(message),
      failedStep_(failedStep),
      errorCode_(errorCode),
      errorName_(errorName) {}

QString BrokerErrorName(int code) {
    return Names().value(code, QString::number(code));
}

QString BrokerErrorMessage(const QString& failedStep, const QString& errorName) {
    return QStringLiteral("Error encountered.\nFunction was: ") + failedStep +
           QStringLiteral("\nError was: ") + errorName;
}

EBrokerError MakeBrokerError(const QString& failedStep, int code) {
    if (code <= 0) code = net::LastSocketError();
    const QString name = BrokerErrorName(code);
    return EBrokerError(BrokerErrorMessage(failedStep, name), failedStep, code, name);
}

void RaiseBrokerError(const QString& failedStep, int code) {
    CurrentBrokerUi().RestoreCursor();
    throw MakeBrokerError(failedStep, code);
}

QByteArray ToWireText(const QString& text) {
    return text.toLatin1();
}
QString FromWireText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

bool IsWireText(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF) return false;
    return true;
}

}  // namespace vorn
