// The broker that the toolset's message texts are fetched through: the first one a lookup
// finds, kept for the rest of the run. It is held by a guarded pointer, so a broker that is
// destroyed is forgotten at once and the next lookup finds another (or falls back to the
// program's string table) instead of calling a dead object.
#pragma once

class QObject;

namespace vorn {

class TRPCBroker;

// The message broker, or null when none was found yet or the one found has been destroyed.
TRPCBroker* MessageBroker();
// Records `broker` as the message broker (null forgets it).
void SetMessageBroker(TRPCBroker* broker);

// Walks the objects owned by `root` in order, depth first (so every form it owns is searched
// with everything on it), and returns the first TRPCBroker, recording it as the message
// broker. A null `root` stands for the application: the objects the application object owns,
// then every window without a parent. Null when there is no broker.
TRPCBroker* FindBroker(QObject* root);

}  // namespace vorn
