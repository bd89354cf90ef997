// Message boxes: answers through the hook and through the buttons and keys, one open box of each kind, ending
// a box from the program.
#include "ControlTestSupport.h"
#include "config/CVidoraOEMInfo.h"
#include "support/CTempEnvironment.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CVidoraSkin.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <functional>

namespace {

using Kind = CCustomMessageBox::Kind;

struct HookCall {
    Kind kind;
    std::string text;
    MessageBoxIcon icon;
    bool anotherBoxOpen;
};

class MessageBoxTest : public ::testing::Test {
protected:
    void TearDown() override {
        CCustomMessageBox::SetAnswerHook(nullptr);
        CCustomMessageBoxOK::EndCurrent();
        CCustomMessageBoxYESNO::EndCurrent();
    }
    void AnswerWith(intptr_t answer) {
        CCustomMessageBox::SetAnswerHook(
            [this, answer](Kind kind, const std::string& text, MessageBoxIcon icon) {
                calls.push_back({kind, text, icon, CCustomMessageBox::Current(kind) != nullptr});
                return answer;
            });
    }
    // Runs `action` once the modal loop of the box being shown is running.
    static void WhenShown(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

    std::vector<HookCall> calls;
};

} // namespace

// What the windows' tests fake message boxes with: the hook gets the resolved text and the icon, and its
// answer is the result.
TEST_F(MessageBoxTest, TheHookGetsTheResourceTextWithItsPlaceholdersExpanded) {
    CTempEnvironment env;
    CVidoraOEMInfo info;
    SetOEMInfo(&info);
    AnswerWith(IDYES);
    EXPECT_EQ(CCustomMessageBoxYESNO::Show(283), IDYES);
    EXPECT_EQ(CCustomMessageBoxOK::Show(109, MessageBoxIcon::Error), IDYES);
    SetOEMInfo(nullptr);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, Kind::YesNo);
    EXPECT_EQ(calls[0].text, "Videos");
    EXPECT_EQ(calls[0].icon, MessageBoxIcon::Question);
    EXPECT_FALSE(calls[0].anotherBoxOpen);
    EXPECT_EQ(calls[1].kind, Kind::OK);
    EXPECT_EQ(calls[1].icon, MessageBoxIcon::Error);
    EXPECT_FALSE(calls[1].text.empty());
    EXPECT_EQ(calls[1].text.find('%'), std::string::npos) << calls[1].text;
    EXPECT_EQ(CCustomMessageBoxOK::Current(), nullptr);
}

TEST_F(MessageBoxTest, EachWayOfAnsweringAShownBoxGivesItsResult) {
    using Box = CCustomMessageBox;
    const auto yesNo = [] { return CCustomMessageBoxYESNO::Show(283); };
    const auto ok = [] { return CCustomMessageBoxOK::Show(283); };
    const struct {
        const char* what;
        std::function<intptr_t()> show;
        std::function<void(Box*)> answer;
        intptr_t expected;
    } cases[] = {
        {"yes button", yesNo, [](Box* b) { b->AcceptButton()->click(); }, IDYES},
        {"no button", yesNo, [](Box* b) { b->RejectButton()->click(); }, IDNO},
        {"OK button, the only one", ok,
         [](Box* b) {
             EXPECT_EQ(b->RejectButton(), nullptr);
             Input::Click(b->AcceptButton());
         },
         IDOK},
        {"Enter on a question", yesNo, [](Box* b) { Input::Key(b, Qt::Key_Return); }, IDYES},
        {"Escape on a question is no", yesNo, [](Box* b) { Input::Key(b, Qt::Key_Escape); }, IDNO},
        {"Escape on a notice", ok, [](Box* b) { Input::Key(b, Qt::Key_Escape); }, IDOK},
        {"title bar close", yesNo,
         [](Box* b) {
             auto* skin = b->findChild<CVidoraSkin*>();
             ASSERT_NE(skin, nullptr);
             Input::Click(b, skin->CloseButtonRect().center());
         },
         IDNO},
        {"question ended by the program", yesNo,
         [](Box*) { EXPECT_TRUE(CCustomMessageBoxYESNO::EndCurrent(IDNO)); }, IDNO},
        {"notice ended by the program", ok,
         [](Box*) { EXPECT_TRUE(CCustomMessageBoxOK::EndCurrent(IDCANCEL)); }, IDCANCEL},
    };
    for (const auto& c : cases) {
        WhenShown([&c] {
            Box* box = CCustomMessageBoxYESNO::Current();
            if (box == nullptr)
                box = CCustomMessageBoxOK::Current();
            ASSERT_NE(box, nullptr) << c.what;
            c.answer(box);
        });
        EXPECT_EQ(c.show(), c.expected) << c.what;
    }
    EXPECT_EQ(CCustomMessageBoxOK::Current(), nullptr);
    EXPECT_EQ(CCustomMessageBoxYESNO::Current(), nullptr);
    EXPECT_FALSE(CCustomMessageBoxOK::EndCurrent(IDCANCEL)) << "nothing open any more";
}

TEST_F(MessageBoxTest, ANewBoxClosesTheOldOneOfItsKindOnly) {
    std::vector<intptr_t> answers(3, 0);
    CCustomMessageBoxOK first(283);
    CCustomMessageBoxOK second(283);
    CCustomMessageBoxYESNO question(283);
    ASSERT_TRUE(first.Open([&answers](intptr_t r) { answers[0] = r; }));
    ASSERT_TRUE(question.Open([&answers](intptr_t r) { answers[2] = r; }));
    EXPECT_EQ(CCustomMessageBoxOK::Current(), &first);

    ASSERT_TRUE(second.Open([&answers](intptr_t r) { answers[1] = r; }));
    EXPECT_EQ(answers[0], IDCANCEL);
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(CCustomMessageBoxOK::Current(), &second);
    EXPECT_EQ(CCustomMessageBoxYESNO::Current(), &question) << "a question is of another kind";
    EXPECT_EQ(answers[2], 0);

    CCustomMessageBoxOK::EndCurrent(IDCANCEL);
    CCustomMessageBoxYESNO::EndCurrent(IDNO);
    EXPECT_EQ(answers[1], IDCANCEL);
    EXPECT_EQ(answers[2], IDNO);
}

TEST_F(MessageBoxTest, AModalBoxReplacedWhileItRunsEndsCancelled) {
    intptr_t inner = 0;
    WhenShown([&inner] {
        WhenShown([] { CCustomMessageBoxOK::Current()->AcceptButton()->click(); });
        inner = CCustomMessageBoxOK::Show(283);
    });
    EXPECT_EQ(CCustomMessageBoxOK::Show(283), IDCANCEL);
    EXPECT_EQ(inner, IDOK);
    EXPECT_EQ(CCustomMessageBoxOK::Current(), nullptr);
}

TEST_F(MessageBoxTest, AnAnsweredQuestionAlsoClosesTheOpenOne) {
    intptr_t openAnswer = 0;
    CCustomMessageBoxYESNO open(283);
    ASSERT_TRUE(open.Open([&openAnswer](intptr_t r) { openAnswer = r; }));
    AnswerWith(IDYES);
    EXPECT_EQ(CCustomMessageBoxYESNO::Show(283), IDYES);
    EXPECT_EQ(openAnswer, IDCANCEL);
    EXPECT_FALSE(calls.at(0).anotherBoxOpen);
}

TEST_F(MessageBoxTest, ABoxDestroyedWhileOpenIsUnansweredAndFreesItsKind) {
    intptr_t answer = 0;
    {
        CCustomMessageBoxOK box(283);
        ASSERT_TRUE(box.Open([&answer](intptr_t r) { answer = r; }));
        box.DestroyWindow();
        EXPECT_EQ(answer, IDCANCEL);
        EXPECT_EQ(CCustomMessageBoxOK::Current(), nullptr);
    }
    auto* box = new CCustomMessageBoxOK(283);
    ASSERT_TRUE(box->Open(nullptr));
    delete box;
    EXPECT_EQ(CCustomMessageBoxOK::Current(), nullptr);
}

TEST_F(MessageBoxTest, AHugeTextKeepsTheBoxSmallerThanTheScreen) {
    const std::string text(20000, 'w');
    CCustomMessageBoxOK box(text + " " + text);
    ASSERT_TRUE(box.Open(nullptr));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LT(box.height(), screen.height());
    EXPECT_LT(box.width(), screen.width());
    EXPECT_TRUE(box.AcceptButton()->geometry().bottom() < box.height());
    box.End(IDOK);
}

TEST_F(MessageBoxTest, EveryIconHasAPictureEvenWithoutTheImageCache) {
    for (MessageBoxIcon icon : {MessageBoxIcon::Information, MessageBoxIcon::Warning, MessageBoxIcon::Error,
                                MessageBoxIcon::Question})
        EXPECT_FALSE(CCustomMessageBox::IconImage(icon).isNull());
    EXPECT_TRUE(CCustomMessageBox::IconImage(MessageBoxIcon::None).isNull());
}
