// The right process, always: while children start and end every 50 ms and
// the table is rebuilt every 100 ms, the user selects a victim, waits a
// little and presses Delete (or picks it in the search window): every kill
// must hit the victim, and no other process may end by the program's hand.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/win32/ProgramFixture.h"
#include "tests/win32/reliability_support.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

class Churning : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        for (auto& b : bystanders_) b = std::make_unique<Victim>("churnbystander" + std::to_string(&b - bystanders_));
        for (auto& b : bystanders_) ASSERT_TRUE(b->Start());
        watch_ = std::make_unique<ProcessWatch>();
        // Auto-refresh every 100 ms, switched on as the tool button does.
        form1->UpdateTimerObject().SetInterval(100);
        form1->UpdateTimerObject().SetEnabled(true);
        churn_ = std::make_unique<Churn>(50, 4);
    }
    void TearDown() override {
        churn_.reset();
        ProgramFixture::TearDown();
    }

    // Ends the churn and checks that nobody but the victims was killed.
    void ExpectOnlyVictimsKilled() {
        churn_->Stop();
        EXPECT_GT(churn_->Started(), 20u);
        EXPECT_EQ(0u, churn_->StrayEnds()) << "a churn child was ended by somebody else";
        EXPECT_EQ(0u, watch_->KilledByUs()) << "a process that ran before the test was killed";
        for (auto& b : bystanders_) EXPECT_EQ(STILL_ACTIVE, b->WaitExitCode(0));
        EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
    }

    const GridModel& Table() const { return form1->Grid().Model(); }
    bool Listed(const Victim& v) const { return RowOfPid(Table(), v.Pid()) > 0; }

    std::mt19937 random_{20240514};
    std::unique_ptr<Churn> churn_;
    std::unique_ptr<ProcessWatch> watch_;
    std::unique_ptr<Victim> bystanders_[3];
};

}  // namespace

TEST_F(Churning, DeleteAlwaysKillsTheSelectedProcess) {
    Victim victim("churnvictim");
    const int rounds = Scaled(100);
    std::uniform_int_distribution<int> wait(0, 300);
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(victim.Start());
        ASSERT_TRUE(PumpUntil([&] { return Listed(victim); }, 5000));
        form1->Grid().SelectRow(RowOfPid(Table(), victim.Pid()));
        Pump(wait(random_));  // rebuilds and churn under the held selection
        PostKey(form1->Grid().Handle(), VK_DELETE);
        const bool ended = PumpUntil([&] { return victim.WaitExitCode(0) != STILL_ACTIVE; }, 5000);
        ASSERT_TRUE(ended) << "the victim still runs";
        ASSERT_EQ(4u, victim.WaitExitCode(0));
        EXPECT_EQ("Процесс " + victim.Name() + " выгружен.", form1->StatusText());
    }
    ExpectOnlyVictimsKilled();
}

TEST_F(Churning, TheSearchWindowAlwaysKillsTheChosenProcess) {
    Victim victim("churnsought");
    const int rounds = Scaled(100);
    std::uniform_int_distribution<int> wait(0, 200);
    int refused = 0;  // Enter on a row that another process had taken by then
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(victim.Start());
        ASSERT_TRUE(PumpUntil([&] { return Listed(victim); }, 5000));
        for (int attempt = 0; victim.WaitExitCode(0) == STILL_ACTIVE; ++attempt) {
            ASSERT_LT(attempt, 50) << "the victim could not be killed from the search window";
            PostKey(form1->Grid().Handle(), VK_F3);
            Pump(30);
            ASSERT_TRUE(form4->Visible());
            ASSERT_EQ(form4->FilterBox(), ::GetFocus());
            ::SetWindowTextW(form4->FilterBox(), Widen(victim.Name()).c_str());
            Pump(wait(random_));
            PostKey(form4->FilterBox(), VK_DOWN);
            Pump(0);
            if (::SendMessageW(form4->ListBox(), LB_GETCURSEL, 0, 0) != 0) continue;  // a repaint reloaded it
            PostKey(form4->FilterBox(), VK_RETURN);
            PumpUntil([&] { return victim.WaitExitCode(0) != STILL_ACTIVE; }, 1000);
            refused += victim.WaitExitCode(0) == STILL_ACTIVE;
        }
        ASSERT_EQ(4u, victim.WaitExitCode(1000));
    }
    // A row number the shrunken table no longer has is refused with the
    // table's index error (nothing killed); that is the refusal, not a fault.
    const auto vanished = std::erase(errors, std::string("Grid index out of range."));
    std::printf("search kills: %d, refused after the table moved: %d (%zu of them vanished rows)\n", rounds,
                refused, vanished);
    ExpectOnlyVictimsKilled();
}
