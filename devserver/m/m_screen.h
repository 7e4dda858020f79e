// Screens: the M code a client sends to restrict a listing ("I 12=$P($G(^(0)),U,2)"),
// evaluated by the server once per candidate record. The subset:
//   commands IF, SET, NEW (I, S, N), separated by spaces, arguments by commas;
//   string and number literals; unsubscripted local variables, with Y the record number,
//   U "^", DT today and DUZ the user; ^NAME(subscripts) and naked references ^(subscripts),
//   the naked indicator starting at the record's node 0;
//   $PIECE $GET $DATA $EXTRACT $LENGTH ($P $G $D $E $L);
//   the operators _ + - * / \ # = < > [ ] ? & ! and ' (also '= '< '> '[ '] '? '& '!),
//   strictly left to right, with parentheses; patterns with A N P U L E, counts and literals.
// A false IF screens the record out. Code outside the subset is refused when the screen is
// read; a record costs at most kScreenStepLimit steps, so no screen can hold the server.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "devserver/m/global_ref.h"
#include "devserver/m/m_screen_ast.h"
#include "devserver/m/m_screen_parser.h"

namespace vorn::devserver {

// Where a screen reads globals from: only the data globals, never anything else.
class MGlobalReader {
  public:
    virtual ~MGlobalReader() = default;
    virtual std::optional<std::string> Get(const GlobalRef& ref) = 0;
    // $DATA: 0, 1, 10 or 11.
    virtual int Data(const GlobalRef& ref) = 0;
};

inline constexpr long kScreenStepLimit = 10000;
// All records of one call together: a few seconds of work at most, whatever the file's size.
inline constexpr long kScreenCallStepLimit = 50000000;

// What every record of one listing shares.
struct ScreenEnvironment {
    MGlobalReader* globals = nullptr;
    std::string dt;   // today, internal form (3261206)
    std::string duz;  // the user's number
    // The steps the call's records have taken so far (none counted when null) and the most
    // they may take in all.
    long* spent = nullptr;
    long callLimit = kScreenCallStepLimit;
};
// Longer strings are an M error (<MAXSTRING>).
inline constexpr std::size_t kMaxMString = 1048576;

// The screen failed on a record (an M error or the step limit): its text is the reply's
// error line.
class ScreenRunError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class MScreen {
  public:
    // No code: every record passes.
    MScreen() = default;
    // Throws ScreenCodeError for code outside the subset.
    explicit MScreen(std::string_view code);

    bool Empty() const { return !program_; }
    // Whether the record `ien`, stored at `record` (root(ien)), passes. Throws ScreenRunError.
    bool Passes(const ScreenEnvironment& environment, const std::string& ien,
                const GlobalRef& record) const;

  private:
    std::shared_ptr<const MScreenProgram> program_;
};

// Several screens that a record must all pass (a listing's SCREEN and a pointer field's).
class ScreenChain {
  public:
    void Add(MScreen screen) {
        if (!screen.Empty()) screens_.push_back(std::move(screen));
    }
    bool Passes(const ScreenEnvironment& environment, const std::string& ien,
                const GlobalRef& record) const {
        for (const MScreen& s : screens_)
            if (!s.Passes(environment, ien, record)) return false;
        return true;
    }
    bool Empty() const { return screens_.empty(); }

  private:
    std::vector<MScreen> screens_;
};

}  // namespace vorn::devserver
