#include "source/internal/message_broker.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "broker/rpc_broker.h"

namespace vorn {
namespace {

QPointer<TRPCBroker>& Current() {
    static QPointer<TRPCBroker> broker;
    return broker;
}

TRPCBroker* SearchOwned(QObject& owner) {
    for (QObject* child : owner.children()) {
        if (auto* broker = qobject_cast<TRPCBroker*>(child)) return broker;
        if (TRPCBroker* found = SearchOwned(*child)) return found;
    }
    return nullptr;
}

TRPCBroker* SearchApplication() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return nullptr;
    if (TRPCBroker* found = SearchOwned(*app)) return found;
    if (!qobject_cast<QApplication*>(app)) return nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // Windows with a parent are searched through their parent.
        if (window->parent()) continue;
        if (TRPCBroker* found = SearchOwned(*window)) return found;
    }
    return nullptr;
}

}  // namespace

TRPCBroker* MessageBroker() {
    return Current().data();
}

void SetMessageBroker(TRPCBroker* broker) {
    Current() = broker;
}

TRPCBroker* FindBroker(QObject* root) {
    TRPCBroker* found = root ? SearchOwned(*root) : SearchApplication();
    if (found) SetMessageBroker(found);
    return found;
}

}  // namespace vorn
