// The toolset's fixed texts as the server words them (captions, hints: messages without
// parameters), kept for the session they were read in. A text is fetched on first use and kept
// until the broker's link is replaced: another server (or the same one started again) may word
// it otherwise. A find dialog, a message dialog and the operation buttons then cost no call
// for their captions after the first time.
#pragma once

#include <QString>
#include <functional>

namespace vorn {

class TRPCBroker;

namespace session_texts {

// The text of message `id` for the session of `broker`: the kept one, or what `fetch` reads
// (kept for the link the broker uses after the call).
QString Text(int id, TRPCBroker& broker, const std::function<QString()>& fetch);
// Whether the text of message `id` is kept for the link `broker` uses now.
bool Has(int id, const TRPCBroker& broker);
// Forgets every text.
void Drop();

}  // namespace session_texts
}  // namespace vorn
