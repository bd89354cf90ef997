#include "effects/CEffectsMruList.h"
#include "effects/EffectsFixture.h"

namespace {

std::string Stored(int i) {
    return CVidoraSettings::ReadRootString(("VideoEffectsAvatarsMru" + std::to_string(i)).c_str(), "<none>");
}

TEST_F(EffectsTest, UsingAModelPutsItFirstAndDropsOlderCopiesIgnoringCase) {
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru1", "cat");
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru2", "");
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru3", "DOG");
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru4", "bird");
    CEffectsMruList list(CEffectsMruList::PrefixOf(CEffectModel::Kind::Avatar));
    list.Load();
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"cat", "DOG", "bird"}));
    list.Use("Dog");
    list.Use("");
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"Dog", "cat", "bird"}));
}

TEST_F(EffectsTest, OnlyTheFirstFiveAreStoredAndOnlyAsManyAsTheListHolds) {
    for (int i = 1; i <= 5; ++i)
        CVidoraSettings::WriteRootString(("VideoEffectsAvatarsMru" + std::to_string(i)).c_str(), "old");
    {
        CEffectsMruList two("VideoEffectsAvatarsMru");
        two.Use("b");
        two.Use("a");
        two.Save();
    }
    EXPECT_EQ(Stored(1), "a");
    EXPECT_EQ(Stored(2), "b");
    EXPECT_EQ(Stored(3), "old");
    EXPECT_EQ(Stored(5), "old");

    CEffectsMruList seven("VideoEffectsAvatarsMru");
    for (const char* name : {"g", "f", "e", "d", "c", "b", "a"})
        seven.Use(name);
    EXPECT_EQ(seven.Entries().size(), 7u); // never shortened while it lives
    seven.Save();
    EXPECT_EQ(Stored(1), "a");
    EXPECT_EQ(Stored(5), "e");
    EXPECT_EQ(CVidoraSettings::ReadRootString("VideoEffectsAvatarsMru6", "<none>"), "<none>");
    // The kinds keep lists of their own.
    EXPECT_STREQ(CEffectsMruList::PrefixOf(CEffectModel::Kind::Accessory), "VideoEffectsAccessoryMru");
    EXPECT_STREQ(CEffectsMruList::PrefixOf(CEffectModel::Kind::Fun), "VideoEffectsFunfilterMru");
}

} // namespace
