// The one path by which event handlers that may reach the server run. Qt does not let an
// exception travel through its event loop, so a handler's failure stops here: it is shown the
// way the toolkit's default error display shows an error that nobody caught, and the program
// goes on with the next event.
//
//     connect(button, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { Save(); }));
//     void keyPressEvent(QKeyEvent* e) override { ui::Guarded([&] { HandleKey(e); }, this); }
#pragma once

#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

#pragma GCC visibility push(default)
class QWidget;

namespace vorn::ui {

// The default error display: `text` as an error with an OK button, captioned with the
// application's title, through the modal seam.
void ShowErrorMessage(const QString& text, QWidget* parent = nullptr);

// Runs `handler`. Any exception it raises is shown with ShowErrorMessage (a standard
// exception with its message; anything else as an unknown error) and goes no further.
// True when the handler ran to its end.
bool Guarded(const std::function<void()>& handler, QWidget* parent = nullptr);

namespace detail {

// Calls `handler` with the arguments when it takes them, else with none (a slot may ignore a
// signal's arguments). A function template of its own, so that the branch not taken is never
// compiled for a handler it does not fit.
template <typename F, typename... Args>
void CallWithArgumentsIfTaken(const F& handler, Args&&... args) {
    if constexpr (std::is_invocable_v<const F&, Args...>)
        handler(std::forward<Args>(args)...);
    else
        handler();
}

}  // namespace detail

// A slot that runs `handler` through Guarded, with the signal's arguments when it takes them.
template <typename F>
auto GuardedSlot(QWidget* parent, F handler) {
    return [parent, handler = std::move(handler)](auto&&... args) {
        Guarded(
            [&] {
                detail::CallWithArgumentsIfTaken(handler, std::forward<decltype(args)>(args)...);
            },
            parent);
    };
}

// The text shown for an exception that is not a standard one.
inline const QString kUnknownFailure = QStringLiteral("An unknown error occurred.");

}  // namespace vorn::ui

#pragma GCC visibility pop
