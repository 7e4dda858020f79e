// The captions of the message dialog: the texts of messages 1 to 12 (kinds and buttons) and
// 60 ("&Cancel"), looked up together through the message broker (or the string table when
// there is none yet) and kept for the session (session_texts.h).
#pragma once

#include <QString>

#pragma GCC visibility push(default)
namespace vorn {

// The cached text of message `id` (1 to 12 or 60); the first call fills the whole cache. Other
// ids are looked up each time, without caching.
QString DialogText(int id);
// Forgets the session's texts, so that the next DialogText fills them again.
void ClearDialogTextCache();

}  // namespace vorn

#pragma GCC visibility pop
