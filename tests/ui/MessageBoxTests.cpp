// Message boxes: answers through the buttons, keys and the program, one open box of each kind, and limits.
#include "UiTestSupport.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CVidoraSkin.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

using Kind = CCustomMessageBox::Kind;

class MessageBoxTest : public ::testing::Test {
protected:
    void TearDown() override {
        CCustomMessageBox::SetAnswerHook(nullptr);
        CCustomMessageBoxOK::EndCurrent();
        CCustomMessageBoxYESNO::EndCurrent();
    }
    // Runs `action` once the modal loop of the box being shown is running.
    static void WhenShown(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }
};

} // namespace

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
        {"Enter on a question", yesNo, [](Box* b) { Input::Key(b, Qt::Key_Return); }, IDYES},
        {"Escape on a question is no", yesNo, [](Box* b) { Input::Key(b, Qt::Key_Escape); }, IDNO},
        {"Escape on a notice, which has one button", ok,
         [](Box* b) {
             EXPECT_EQ(b->RejectButton(), nullptr);
             Input::Key(b, Qt::Key_Escape);
         },
         IDOK},
        {"title bar close", yesNo,
         [](Box* b) {
             auto* skin = b->findChild<CVidoraSkin*>();
             ASSERT_NE(skin, nullptr);
             Input::Click(b, skin->CloseButtonRect().center());
         },
         IDNO},
        {"question ended by the program", yesNo,
         [](Box*) { EXPECT_TRUE(CCustomMessageBoxYESNO::EndCurrent(IDNO)); }, IDNO},
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
    EXPECT_FALSE(CCustomMessageBoxOK::EndCurrent(IDCANCEL));
}

// A new box, shown or answered by the hook, closes the open one of its kind only, which ends cancelled.
TEST_F(MessageBoxTest, ANewBoxClosesTheOldOneOfItsKindOnly) {
    std::vector<intptr_t> answers(3, 0);
    CCustomMessageBoxOK first(283);
    CCustomMessageBoxOK second(283);
    CCustomMessageBoxYESNO question(283);
    ASSERT_TRUE(first.Open([&answers](intptr_t r) { answers[0] = r; }));
    ASSERT_TRUE(question.Open([&answers](intptr_t r) { answers[2] = r; }));
    ASSERT_TRUE(second.Open([&answers](intptr_t r) { answers[1] = r; }));
    EXPECT_EQ(answers[0], IDCANCEL);
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(CCustomMessageBoxOK::Current(), &second);
    EXPECT_EQ(CCustomMessageBoxYESNO::Current(), &question) << "a question is of another kind";
    EXPECT_EQ(answers[2], 0);
    CCustomMessageBoxOK::EndCurrent(IDCANCEL);
    EXPECT_EQ(answers[1], IDCANCEL);
    bool anotherBoxOpen = true;
    CCustomMessageBox::SetAnswerHook([&](Kind kind, const std::string&, MessageBoxIcon) {
        anotherBoxOpen = CCustomMessageBox::Current(kind) != nullptr;
        return intptr_t(IDYES);
    });
    EXPECT_EQ(CCustomMessageBoxYESNO::Show(283), IDYES);
    EXPECT_EQ(answers[2], IDCANCEL);
    EXPECT_FALSE(anotherBoxOpen);
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

TEST_F(MessageBoxTest, AHugeTextKeepsTheBoxSmallerThanTheScreenAndEveryIconHasAPicture) {
    const std::string text(20000, 'w');
    CCustomMessageBoxOK box(text + " " + text);
    ASSERT_TRUE(box.Open(nullptr));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LT(box.height(), screen.height());
    EXPECT_LT(box.width(), screen.width());
    EXPECT_LT(box.AcceptButton()->geometry().bottom(), box.height());
    box.End(IDOK);
    // Even without the image cache.
    for (MessageBoxIcon icon : {MessageBoxIcon::Information, MessageBoxIcon::Warning, MessageBoxIcon::Error,
                                MessageBoxIcon::Question})
        EXPECT_FALSE(CCustomMessageBox::IconImage(icon).isNull());
}
