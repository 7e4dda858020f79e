// Calls in turns: never more at once than there are turns, each in the order it came, and a call
// that waits for another thread lets the next one run and comes back before the newer ones.
#include <atomic>
#include <mutex>

#include "devserver/net/call_turns.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

using test::Soon;
using Names = std::vector<std::string>;

class CallTurnsTest : public ::testing::Test {
  protected:
    CallTurns turns{1};
    std::mutex mutex;
    Names order;  // who had a turn, in turn
    std::vector<std::thread> threads;

    void Note(const std::string& who) {
        const std::lock_guard hold(mutex);
        order.push_back(who);
        EXPECT_LE(turns.Running(), 1) << who;
    }
    Names Order() {
        const std::lock_guard hold(mutex);
        return order;
    }
    // A call that arrives once the ones before it wait; it has its turn and, with a gate, keeps
    // it until the gate opens.
    void Arrive(const std::string& who, const std::atomic<bool>* gate = nullptr) {
        const int before = turns.Waiting();
        threads.emplace_back([this, who, gate] {
            const CallTurns::Turn turn(turns);
            Note(who);
            EXPECT_TRUE(!gate || Soon([&] { return gate->load(); }));
        });
        ASSERT_TRUE(Soon([&] { return turns.Waiting() == before + 1; }));
    }
    // Joins the calls: none is left running or waiting.
    void JoinAll() {
        for (std::thread& t : threads)
            t.join();
        threads.clear();
        EXPECT_EQ(turns.Running(), 0);
        EXPECT_EQ(turns.Waiting(), 0);
    }
    void TearDown() override { JoinAll(); }
};

TEST_F(CallTurnsTest, CallsTakeTheirTurnsOneAfterAnotherInTheOrderTheyCame) {
    {
        const CallTurns::Turn first(turns);
        for (const char* who : {"B", "C", "D"})
            Arrive(who);
        Note("A");
    }
    JoinAll();
    EXPECT_EQ(order, (Names{"A", "B", "C", "D"}));
}

TEST_F(CallTurnsTest, AWaitingCallStepsAsideAndComesBackBeforeNewerOnes) {
    std::atomic<bool> bMayEnd{false};
    {
        const CallTurns::Turn first(turns);
        Arrive("B", &bMayEnd);
        Arrive("C");
        // A, back from its wait, waits behind B's turn and ahead of C, which came first.
        std::thread opener([&] {
            EXPECT_TRUE(Soon([&] { return turns.Waiting() == 2 && Order().size() == 1; }));
            bMayEnd = true;
        });
        {
            // Waiting for another thread (a writer's turn, a flush): B runs meanwhile.
            const SteppingAside aside;
            EXPECT_TRUE(Soon([&] { return Order() == Names{"B"}; }));
        }
        Note("A");
        opener.join();
    }
    JoinAll();
    EXPECT_EQ(order, (Names{"B", "A", "C"}));
}

TEST(CallTurns, NoTurnsLetEveryCallRunAsItComes) {
    CallTurns turns(0);
    const CallTurns::Turn a(turns), b(turns);
    EXPECT_EQ(turns.Waiting(), 0);
    // Stepping aside outside a limit does nothing.
    const SteppingAside aside;
}

}  // namespace
}  // namespace vorn::devserver
