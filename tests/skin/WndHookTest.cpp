#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SkinTesting.h"
#include "skin/CoolUtils.h"

namespace {

// A private message that the hooks and the form all count.
constexpr UINT kProbe = WM_APP + 17;

class ProbedForm : public ui::TForm {
public:
    using ui::TForm::TForm;
    int probes = 0;

    void WndProc(ui::TMessage& message) override {
        if (message.Msg == kProbe) {
            ++probes;
            message.Result = 5;
            return;
        }
        ui::TForm::WndProc(message);
    }
};

// Hooks on one window, each writing its name into a shared log when it sees the probe.
class HookChain : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<ProbedForm>(nullptr);
        form_->SetClientSize(100, 60);
        window_ = form_->Handle();
        original_ = Procedure();
    }

    void TearDown() override {
        hooks_.clear();
        form_.reset();
    }

    skin::TWndHook* AddHook(const std::string& name) {
        hooks_.push_back(std::make_unique<skin::TWndHook>(nullptr));
        skin::TWndHook* hook = hooks_.back().get();
        hook->OnBeforeMessage = [this, name](base::TComponent*, ui::TMessage& message, bool&) {
            if (message.Msg == kProbe) log_ += name;
        };
        hook->SetWinControl(form_.get());
        hook->SetActive(true);
        return hook;
    }

    // Sends the probe and answers which hooks saw it, outermost first.
    std::string Probe() {
        log_.clear();
        const int before = form_->probes;
        EXPECT_EQ(SendMessageA(window_, kProbe, 0, 0), 5);
        EXPECT_EQ(form_->probes, before + 1) << "the form itself must still get the message";
        return log_;
    }

    WNDPROC Procedure() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC)); }

    std::unique_ptr<ProbedForm> form_;
    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;
    std::vector<std::unique_ptr<skin::TWndHook>> hooks_;
    std::string log_;
};

TEST_F(HookChain, TwoHooksRemovedInEitherOrderLeaveTheOriginalProcedure) {
    for (bool firstLeavesFirst : {true, false}) {
        skin::TWndHook* a = AddHook("A");
        skin::TWndHook* b = AddHook("B");
        ASSERT_TRUE(a->Active());
        ASSERT_EQ(Procedure(), b->HookProcedure());
        ASSERT_EQ(b->PreviousProcedure(), a->HookProcedure());
        ASSERT_NE(a->HookProcedure(), b->HookProcedure());
        EXPECT_EQ(Probe(), "BA");

        skin::TWndHook* first = firstLeavesFirst ? a : b;
        skin::TWndHook* second = firstLeavesFirst ? b : a;
        first->SetActive(false);
        EXPECT_FALSE(first->Active());
        EXPECT_EQ(Probe(), firstLeavesFirst ? "B" : "A");
        EXPECT_EQ(second->PreviousProcedure(), original_);
        second->SetActive(false);
        EXPECT_EQ(Procedure(), original_) << (firstLeavesFirst ? "first hook left first" : "last hook left first");
        EXPECT_EQ(Probe(), "");
        hooks_.clear();
    }
}

TEST_F(HookChain, TheMiddleHookLeavesTheChainJoinedAroundIt) {
    skin::TWndHook* a = AddHook("A");
    skin::TWndHook* b = AddHook("B");
    skin::TWndHook* c = AddHook("C");
    EXPECT_EQ(Probe(), "CBA");
    b->SetActive(false);
    EXPECT_EQ(c->PreviousProcedure(), a->HookProcedure());
    EXPECT_EQ(Probe(), "CA");
    // Destroying a hook takes it off the window too.
    hooks_.erase(hooks_.begin());
    EXPECT_EQ(c->PreviousProcedure(), original_);
    EXPECT_EQ(Probe(), "C");
    hooks_.clear();
    EXPECT_EQ(Procedure(), original_);
}

TEST_F(HookChain, AHandledMessageStopsBeforeTheWindowAndTheAfterHandlerSeesTheResult) {
    skin::TWndHook* hook = AddHook("A");
    LRESULT seen = -1;
    hook->OnBeforeMessage = [](base::TComponent*, ui::TMessage& message, bool& handled) {
        handled = message.Msg == kProbe;
    };
    hook->OnAfterMessage = [&seen](base::TComponent*, ui::TMessage& message, bool& handled) {
        if (message.Msg != kProbe) return;
        seen = message.Result;
        message.Result = handled ? 9 : message.Result;
    };
    EXPECT_EQ(SendMessageA(window_, kProbe, 0, 0), 9);
    EXPECT_EQ(seen, 0) << "a handled message keeps the result 0";
    EXPECT_EQ(form_->probes, 0);
}

TEST_F(HookChain, TheListLivesWithTheHooksAndAChangedControlIsLeft) {
    ASSERT_EQ(skin::THookList::Instance(), nullptr) << "no hook is alive between tests";
    skin::TWndHook* a = AddHook("A");
    skin::THookList* list = skin::THookList::Instance();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindow(list->Window()));
    EXPECT_TRUE(list->Contains(a));

    ProbedForm other(nullptr);
    other.HandleNeeded();
    a->SetWinControl(&other);
    EXPECT_EQ(Procedure(), original_);
    EXPECT_FALSE(a->Active()) << "not installed on the new control by the change";
    EXPECT_EQ(Probe(), "");

    // A control without a window cannot be hooked yet.
    ProbedForm windowless(nullptr);
    a->SetWinControl(&windowless);
    a->SetActive(true);
    EXPECT_FALSE(a->Active());
    EXPECT_EQ(a->Handle(), nullptr);

    const HWND listWindow = list->Window();
    hooks_.clear();
    EXPECT_EQ(skin::THookList::Instance(), nullptr);
    EXPECT_FALSE(IsWindow(listWindow));
}

TEST_F(HookChain, HooksFollowTheControlToItsRecreatedWindowAndStillLeaveCleanly) {
    skin::TWndHook* a = AddHook("A");
    skin::TWndHook* b = AddHook("B");
    form_->RecreateWnd();
    window_ = form_->Handle();
    skintest::PumpMessages();
    EXPECT_TRUE(a->Active());
    EXPECT_TRUE(b->Active());
    const std::string seen = Probe();
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_NE(seen.find('A'), std::string::npos);
    EXPECT_NE(seen.find('B'), std::string::npos);

    a->SetActive(false);
    EXPECT_EQ(Probe(), "B");
    b->SetActive(false);
    EXPECT_EQ(Procedure(), original_);
}

WNDPROC foreignBelow = nullptr;
int foreignCalls = 0;

LRESULT CALLBACK ForeignProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kProbe) ++foreignCalls;
    return CallWindowProcA(foreignBelow, window, msg, wParam, lParam);
}

TEST_F(HookChain, AProcedureInstalledAboveTheHookKeepsWorkingAfterTheHookLeaves) {
    skin::TWndHook* hook = AddHook("A");
    // Someone outside the hook list subclasses the window on top of the hook.
    foreignBelow = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProcedure)));
    ASSERT_EQ(foreignBelow, hook->HookProcedure());
    foreignCalls = 0;
    hook->SetActive(false);
    EXPECT_EQ(Probe(), "") << "the hook's handlers are not called any more";
    EXPECT_EQ(foreignCalls, 1);
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
}

}  // namespace
