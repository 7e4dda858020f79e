// Holds one of a source's busy flags (filling, saving, deleting, validating) set for as long as
// the object lives, so that a server error part-way through an operation cannot leave it set.
#pragma once

#pragma GCC visibility push(default)
namespace vorn {

class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = was_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool was_;
};

}  // namespace vorn

#pragma GCC visibility pop
