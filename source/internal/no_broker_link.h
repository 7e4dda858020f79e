// Raised by a toolset component that has to reach the server but has no broker.
#pragma once

#include <QString>
#include <stdexcept>

#pragma GCC visibility push(default)
namespace vorn {

class ENoBrokerLink : public std::runtime_error {
  public:
    explicit ENoBrokerLink(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

  private:
    QString message_;
};

// The text a data source raises: "\"vornSource1\" is not associated with a Broker link." CR LF.
QString SourceWithoutBrokerText(const QString& componentName);

}  // namespace vorn

#pragma GCC visibility pop
