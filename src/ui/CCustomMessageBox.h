#pragma once
// The program's message boxes: a text (a string of the resource library, OEM placeholders expanded), an icon
// and one or two answer buttons in a skinned pop-up. CCustomMessageBoxOK and CCustomMessageBoxYESNO are the
// two kinds. Only one box of each kind is open in the process: opening a new one first ends the old one with
// IDCANCEL. The program can end the open box of a kind with a result of its choice (EndCurrent).
//
// Answers: OK gives IDOK, Yes IDYES, No IDNO. Escape or the close button give IDOK for the OK box and IDNO
// for the yes/no box (neither has a Cancel button). Enter presses the accented button (OK, or Yes).
//
// A process-wide answer hook, when set, answers every box at once instead of showing it (tests, automation).
#include "ui/CDialogBase.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <string>

class CTransparentImageButton;
class CVidoraSkin;

enum class MessageBoxIcon { None, Information, Warning, Error, Question };

class CCustomMessageBox : public CDialogBase {
    Q_OBJECT
public:
    enum class Kind { OK = 0, YesNo = 1 };
    // The hook's answer is the box's result; the box is never shown.
    using AnswerHook = std::function<intptr_t(Kind kind, const std::string& text, MessageBoxIcon icon)>;

    static constexpr uint32_t kIconInformationId = 1010;
    static constexpr uint32_t kIconWarningId = 1011;
    static constexpr uint32_t kIconErrorId = 1012;
    static constexpr uint32_t kIconQuestionId = 1013;
    // The string whose text is the boxes' title (the product name).
    static constexpr uint32_t kTitleStringId = 109;

    ~CCustomMessageBox() override;

    static void SetAnswerHook(AnswerHook hook);
    static bool HasAnswerHook();
    // The open box of a kind, or null.
    static CCustomMessageBox* Current(Kind kind);
    // Ends the open box of a kind with `result`; false when none is open.
    static bool EndCurrent(Kind kind, intptr_t result);
    // Ends every open box, each with the answer that changes nothing (IDCANCEL for the OK box, IDNO for the
    // yes/no box), so that a program that is asked to end does not wait for somebody to answer. The number
    // of boxes ended.
    static int EndAll();

    Kind GetKind() const { return kind_; }
    const std::string& Text() const { return text_; }
    MessageBoxIcon Icon() const { return icon_; }
    // The result once the box has ended; 0 before.
    intptr_t Result() const { return result_; }

    // Shows the box modally and returns the answer (the hook's when set). A box runs once.
    intptr_t Run();
    // Opens the box without waiting; `onAnswer` gets the result when it ends. Not with the hook set.
    bool Open(std::function<void(intptr_t)> onAnswer);
    // Ends this box with a result (only while it is open).
    void End(intptr_t result);

    // The buttons, for the look and for keyboard handling; null when the kind has no such button.
    CTransparentImageButton* AcceptButton() const { return accept_; }
    CTransparentImageButton* RejectButton() const { return reject_; }

    static QImage IconImage(MessageBoxIcon icon);

protected:
    CCustomMessageBox(Kind kind, std::string text, MessageBoxIcon icon, QWidget* parent);
    // The text of a string id of the resource library, OEM placeholders expanded.
    static std::string ResourceText(uint32_t stringId);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void Finish(intptr_t result);
    void TakeSlot();
    void ReleaseSlot();
    intptr_t DismissResult() const { return kind_ == Kind::OK ? IDOK : IDNO; }

    Kind kind_;
    std::string text_;
    MessageBoxIcon icon_;
    intptr_t result_ = 0;
    bool started_ = false;
    bool open_ = false;
    std::function<void(intptr_t)> onAnswer_;
    CVidoraSkin* skin_ = nullptr;
    CTransparentImageButton* accept_ = nullptr;
    CTransparentImageButton* reject_ = nullptr;
};
