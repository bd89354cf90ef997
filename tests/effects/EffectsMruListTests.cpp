#include "effects/CEffectsMruList.h"
#include "effects/EffectsFixture.h"

namespace {

std::string Stored(int i) {
    return CVidoraSettings::ReadRootString(("VideoEffectsAvatarsMru" + std::to_string(i)).c_str(), "<none>");
}

TEST_F(EffectsTest, UsingAModelPutsItFirstAndOnlyTheFirstFiveAreStored) {
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru1", "cat");
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru2", "");
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru3", "DOG");
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru4", "bird");
    CVidoraSettings::WriteRootString("VideoEffectsAvatarsMru5", "old");
    CEffectsMruList list(CEffectsMruList::PrefixOf(CEffectModel::Kind::Avatar));
    list.Load();
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"cat", "DOG", "bird", "old"}));
    // An older copy goes, whatever its case; an empty name is no model.
    list.Use("Dog");
    list.Use("");
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"Dog", "cat", "bird", "old"}));
    list.Save();
    EXPECT_EQ(Stored(1), "Dog");
    EXPECT_EQ(Stored(4), "old");
    EXPECT_EQ(Stored(5), "old") << "only as many as the list holds are written";

    CEffectsMruList seven("VideoEffectsAvatarsMru");
    for (const char* name : {"g", "f", "e", "d", "c", "b", "a"})
        seven.Use(name);
    EXPECT_EQ(seven.Entries().size(), 7u); // never shortened while it lives
    seven.Save();
    EXPECT_EQ(Stored(1), "a");
    EXPECT_EQ(Stored(5), "e");
    EXPECT_EQ(Stored(6), "<none>");
}

} // namespace
