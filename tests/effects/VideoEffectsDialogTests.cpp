#include "effects/CVideoEffectsCatalog.h"
#include "effects/CVideoEffectsDialog.h"
#include "effects/EffectsFixture.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "platform/DesktopLinks.h"
#include "platform/GlobalAtoms.h"
#include "platform/RegisteredMessages.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IEffectsEngine.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsRegistration.h"

#include <QAbstractButton>
#include <QFile>

#include <chrono>

namespace {

using Dlg = CVideoEffectsDialog;

class VideoEffectsDialogTest : public EffectsTest {
protected:
    void SetUp() override {
        EffectsTest::SetUp();
        SetTimerService(&timers);
        RegisterToolkitControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        Granite::CGraniteEffectsControl::Instance().Reset();
        Granite::CGraniteEffectsControl::Instance().SetLoadDelay(std::chrono::milliseconds(0));
        DesktopLinks::SetOpenHook([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    void TearDown() override {
        Close();
        if (effects != nullptr)
            effects->Release();
        UnregisterGraniteEffectsService();
        DesktopLinks::SetOpenHook({});
        CVidoraSkin::SetAnimationsEnabled(true);
        SetTimerService(nullptr);
        EffectsTest::TearDown();
    }

    void Open(bool withEngine = true) {
        if (withEngine && effects == nullptr) {
            RegisterGraniteEffectsService();
            effects = GetBrenmoorVideoEffects();
            ASSERT_NE(effects, nullptr);
        }
        dialog = new Dlg();
        ASSERT_TRUE(dialog->Create(nullptr));
        dialog->show();
        for (int i = 0; i < 5; ++i)
            Pump();
    }
    void Close() {
        if (dialog != nullptr && dialog->IsWindow())
            dialog->DestroyWindow();
        delete dialog;
        dialog = nullptr;
        DrainEvents();
    }
    int32_t Mode() const {
        int32_t mode = -1;
        effects->EffectsCall13(&mode);
        return mode;
    }
    std::string EngineModel() const {
        std::string id;
        effects->EffectsCall12(&id);
        return id;
    }
    std::string Notice() const { return dialog->GetDlgItemText(Dlg::kNotice); }

    CVirtualTimerService timers{clock};
    IBrenmoorVideoEffects* effects = nullptr;
    Dlg* dialog = nullptr;
    std::vector<std::string> opened;
};

TEST_F(VideoEffectsDialogTest, PickingAModelHandsItToTheEngineAndRemembersIt) {
    WriteFullModel("Robot", "Avatar", "robot");
    const std::string hat = WriteFullModel("Hat", "Accessory", "hat");
    Open();
    CVideoEffectsCatalog* avatars = dialog->Catalog(Dlg::kAvatars);
    ASSERT_EQ(avatars->ItemCount(), 1);
    EXPECT_EQ(dialog->Catalog(Dlg::kAccessories)->ItemCount(), 1);
    EXPECT_EQ(dialog->Catalog(Dlg::kFunFilters)->ItemCount(), 0);

    // The user picks the avatar.
    emit avatars->modelPicked(QString::fromStdString(avatars->ModelAt(0)->DescriptionPath()));
    ASSERT_TRUE(PumpUntil([&] {
        Pump();
        return Mode() == EFFECTS_MODE_RUNNING;
    }));
    EXPECT_EQ(EngineModel(), "robot");
    EXPECT_EQ(dialog->GetDlgItemText(Dlg::kChosenCaption), CDialogBase::LoadString(316));
    EXPECT_EQ(dialog->GetDlgItemText(Dlg::kChosenName), "Robot model");
    EXPECT_EQ(CVidoraSettings::GetVideoEffectsModelXML(), avatars->ModelAt(0)->DescriptionPath());
    // Once the engine draws it, it is the most recently used avatar.
    ASSERT_TRUE(PumpUntil([&] { return !avatars->Mru().Entries().empty(); }));
    EXPECT_EQ(avatars->Mru().Entries().front(), "Robot");

    // While the effects run, an accessory joins at once.
    EXPECT_EQ(dialog->SelectModel(hat, true), CEffectModelSelector::Outcome::Chosen);
    EXPECT_EQ(dialog->Catalog(Dlg::kAccessories)->Mru().Entries(), (std::vector<std::string>{"Hat"}));
    EXPECT_EQ(dialog->GetDlgItemText(Dlg::kChosenCaption), CDialogBase::LoadString(317));
    ASSERT_TRUE(PumpUntil([&] { return EngineModel() == "hat"; }));
    EXPECT_EQ(dialog->SelectModel(hat, true), CEffectModelSelector::Outcome::Unchanged);

    // The lists are stored when the window goes, and the chosen model comes back shown, not applied again.
    Close();
    EXPECT_EQ(CVidoraSettings::ReadRootString("VideoEffectsAvatarsMru1", ""), "Robot");
    EXPECT_EQ(CVidoraSettings::ReadRootString("VideoEffectsAccessoryMru1", ""), "Hat");
    effects->EffectsCall23("");
    Open();
    EXPECT_EQ(dialog->GetCategory(), Dlg::kAccessories);
    EXPECT_EQ(dialog->GetDlgItemText(Dlg::kChosenName), "Hat model");
    EXPECT_EQ(Mode(), EFFECTS_MODE_IDLE);
    // Picking the shown model applies it.
    EXPECT_EQ(dialog->SelectModel(hat, true), CEffectModelSelector::Outcome::Chosen);
    EXPECT_TRUE(PumpUntil([&] { return Mode() == EFFECTS_MODE_RUNNING; }));
    // Taken off with the window's button, the same model can be put on again.
    dialog->GetDlgItemAs<QAbstractButton>(Dlg::kEffectOff)->click();
    EXPECT_TRUE(PumpUntil([&] { return Mode() == EFFECTS_MODE_IDLE; }));
    EXPECT_EQ(dialog->SelectModel(hat, true), CEffectModelSelector::Outcome::Chosen);
    EXPECT_TRUE(PumpUntil([&] { return Mode() == EFFECTS_MODE_RUNNING; }));
}

TEST_F(VideoEffectsDialogTest, WithoutTheEngineNoGalleriesAndTheWindowSaysWhy) {
    WriteFullModel("Robot", "Avatar", "robot");
    Open(false);
    EXPECT_FALSE(dialog->HasEngine());
    EXPECT_EQ(dialog->Catalog(Dlg::kAvatars)->ItemCount(), 0);
    EXPECT_FALSE(dialog->Catalog(Dlg::kAvatars)->isVisibleTo(dialog));
    EXPECT_EQ(Notice(), CDialogBase::LoadString(Dlg::kNoEngineText));
    EXPECT_FALSE(dialog->GetDlgItem(Dlg::kAvatarsTab)->isEnabled());
}

TEST_F(VideoEffectsDialogTest, AModelWithABrokenPictureIsListedWithAQuestionMarkAndTheReason) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::string broken =
        WriteModel("Broken", "Type=\"Fun\" Id=\"b\"",
                   "<ImageFile>thumb.jpg</ImageFile><PackageFile>Broken.xml</PackageFile>");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(TestMediaDir() + "/jpeg-bomb-65535x65535-186bytes.jpg"),
                            QString::fromStdString(models + "/Broken/thumb.jpg")));
    WriteModel("Missing", "Type=\"Fun\" Id=\"m\"",
               "<ImageFile>gone.png</ImageFile><PackageFile>x</PackageFile>");
    Open();
    CVideoEffectsCatalog* fun = dialog->Catalog(Dlg::kFunFilters);
    ASSERT_EQ(fun->ItemCount(), 2);
    const int b = fun->FindModel(broken);
    ASSERT_GE(b, 0);
    EXPECT_EQ(fun->ThumbnailProblem(b), 1811u);
    EXPECT_EQ(fun->ThumbnailProblem(1 - b), 1810u);
    EXPECT_TRUE(fun->HasThumbnail(b));
    EXPECT_NE(fun->ToolTipText(1 - b).find(CDialogBase::LoadString(1810)), std::string::npos);

    // Chosen, the picture falls back too and the window tells why.
    dialog->ShowCategory(Dlg::kFunFilters);
    EXPECT_EQ(dialog->SelectModel(broken, false), CEffectModelSelector::Outcome::Chosen);
    EXPECT_NE(Notice().find(CDialogBase::LoadString(1811)), std::string::npos);
}

TEST_F(VideoEffectsDialogTest, CategoryToggleAndMoreEffectsAreRemembered) {
    CVidoraSettings::WriteRootString("VideoEffectsCategory", "funfilters");
    Open();
    EXPECT_EQ(dialog->GetCategory(), Dlg::kFunFilters);
    EXPECT_EQ(Notice(), CDialogBase::LoadString(Dlg::kNoModelsText));
    dialog->GetDlgItemAs<QAbstractButton>(Dlg::kAvatarsTab)->click();
    EXPECT_EQ(CVidoraSettings::GetVideoEffectsCategory(), "avatars");

    const int collapsed = dialog->height();
    dialog->GetDlgItemAs<QAbstractButton>(Dlg::kToggle)->click();
    EXPECT_TRUE(dialog->IsExtraOpen());
    EXPECT_GT(dialog->height(), collapsed);
    EXPECT_EQ(CVidoraSettings::ReadRootNumber("VideoEffectsToggleOpen", 0), 1u);

    dialog->GetDlgItemAs<QAbstractButton>(Dlg::kGetMore)->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find(",effecttype=10346,"), std::string::npos);
}

TEST_F(VideoEffectsDialogTest, ANewlyInstalledModelJoinsTheShownGalleryOfItsKind) {
    Open();
    ASSERT_EQ(dialog->GetCategory(), Dlg::kAvatars);
    const std::string cat = WriteFullModel("Cat", "Avatar", "vendor.cat");
    WriteFullModel("Bow", "Accessory", "vendor.bow");
    for (const char* identity : {"vendor.cat", "vendor.bow", "vendor.none"}) {
        const GlobalAtoms::ATOM atom = GlobalAtoms::Add(identity);
        dialog->SendMessage(RegisteredMessages::InstalledPackage.Id(), 0, atom);
        GlobalAtoms::Delete(atom);
    }
    ASSERT_EQ(dialog->Catalog(Dlg::kAvatars)->ItemCount(), 1);
    EXPECT_EQ(dialog->Catalog(Dlg::kAvatars)->FindModel(cat), 0);
    EXPECT_EQ(dialog->Catalog(Dlg::kAccessories)->ItemCount(), 0);
    EXPECT_TRUE(Notice().empty());
}

} // namespace
