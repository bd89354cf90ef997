// The per-user atom table: texts to numbers and back, case-blind, counted, shared between processes.
#include "platform/GlobalAtoms.h"
#include "support/CChildProcess.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

namespace {

using GlobalAtoms::ATOM;

TEST(GlobalAtoms, TextsComeBackAndShareAnAtomWithoutRegardToCase) {
    CTempEnvironment env;
    ATOM atom = GlobalAtoms::Add("Dinosaur_{17F8B0B2}");
    ASSERT_GE(atom, GlobalAtoms::kFirstAtom);
    EXPECT_EQ(GlobalAtoms::Add("DINOSAUR_{17f8b0b2}"), atom);
    EXPECT_EQ(GlobalAtoms::Find("dinosaur_{17F8B0B2}"), atom);
    std::string text;
    ASSERT_TRUE(GlobalAtoms::GetName(atom, text));
    EXPECT_EQ(text, "Dinosaur_{17F8B0B2}") << "the text keeps the case it was first added with";
    ATOM other = GlobalAtoms::Add("Überkamera Ωmega");
    EXPECT_NE(other, atom);
    EXPECT_EQ(GlobalAtoms::Find("üBERKAMERA ωMEGA"), other) << "case is ignored beyond ASCII too";
    ASSERT_TRUE(GlobalAtoms::GetName(other, text));
    EXPECT_EQ(text, "Überkamera Ωmega");
}

TEST(GlobalAtoms, ReferencesAreCountedAndFreedNumbersReused) {
    CTempEnvironment env;
    ATOM a = GlobalAtoms::Add("camera");
    ATOM b = GlobalAtoms::Add("b");
    EXPECT_EQ(a, GlobalAtoms::kFirstAtom);
    EXPECT_EQ(b, a + 1);
    ASSERT_EQ(GlobalAtoms::Add("Camera"), a);
    EXPECT_EQ(GlobalAtoms::Delete(a), 0);
    EXPECT_EQ(GlobalAtoms::Find("camera"), a) << "one reference left";
    EXPECT_EQ(GlobalAtoms::Delete(a), 0);
    EXPECT_EQ(GlobalAtoms::Find("camera"), 0);
    std::string text = "stale";
    EXPECT_FALSE(GlobalAtoms::GetName(a, text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(GlobalAtoms::Delete(a), a) << "an unknown atom cannot be deleted";
    EXPECT_EQ(GlobalAtoms::Add("c"), a) << "the freed number";
    EXPECT_EQ(GlobalAtoms::Add("d"), b + 1);
}

TEST(GlobalAtoms, TextsThatCannotBeAtomsAreRefused) {
    CTempEnvironment env;
    EXPECT_EQ(GlobalAtoms::Add(""), 0);
    EXPECT_EQ(GlobalAtoms::Find(""), 0);
    EXPECT_NE(GlobalAtoms::Add(std::string(255, 'x')), 0);
    EXPECT_EQ(GlobalAtoms::Add(std::string(256, 'x')), 0);
    // The limit counts characters, not bytes: 255 two-byte characters fit.
    std::string wide;
    for (int i = 0; i < 255; ++i)
        wide += "é";
    EXPECT_NE(GlobalAtoms::Add(wide), 0);
    EXPECT_EQ(GlobalAtoms::Add(wide + "é"), 0);
    EXPECT_EQ(GlobalAtoms::Add(std::string("bad \xff byte")), 0);
    std::string text;
    EXPECT_FALSE(GlobalAtoms::GetName(0, text));
    EXPECT_FALSE(GlobalAtoms::GetName(0x1234, text));
    EXPECT_EQ(GlobalAtoms::Delete(0x1234), 0x1234);
}

TEST(GlobalAtoms, ADamagedTableIsStartedAfresh) {
    CTempEnvironment env;
    ASSERT_NE(GlobalAtoms::Add("before"), 0);
    {
        std::ofstream damaged(GlobalAtoms::TablePath(), std::ios::trunc | std::ios::binary);
        damaged << "this is not a database, just text that someone wrote over the file";
    }
    EXPECT_EQ(GlobalAtoms::Find("before"), 0);
    ATOM atom = GlobalAtoms::Add("after");
    ASSERT_NE(atom, 0);
    std::string text;
    ASSERT_TRUE(GlobalAtoms::GetName(atom, text));
    EXPECT_EQ(text, "after");
}

TEST(GlobalAtoms, AnotherProcessSeesTheSameAtoms) {
    CTempEnvironment env;
    ATOM mine = GlobalAtoms::Add("Package.Identity.1");
    ASSERT_NE(mine, 0);
    CChildProcess child([mine](const CChildProcess::Channel& channel) {
        std::string text;
        if (!GlobalAtoms::GetName(mine, text) || text != "Package.Identity.1")
            return 2;
        ATOM theirs = GlobalAtoms::Add("Made by the child");
        if (theirs == 0 || theirs == mine)
            return 3;
        channel.Tell(static_cast<char>(theirs & 0xFF));
        channel.Tell(static_cast<char>(theirs >> 8));
        // Released by the child after the parent took its own reference.
        if (channel.Await() != 'd')
            return 4;
        return GlobalAtoms::Delete(theirs) == 0 ? 0 : 5;
    });
    ASSERT_TRUE(child.Started());
    ATOM theirs = static_cast<uint8_t>(child.Expect());
    theirs |= static_cast<ATOM>(static_cast<uint8_t>(child.Expect()) << 8);
    std::string text;
    ASSERT_TRUE(GlobalAtoms::GetName(theirs, text));
    EXPECT_EQ(text, "Made by the child");
    EXPECT_EQ(GlobalAtoms::Add("made BY the CHILD"), theirs);
    child.Tell('d');
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_EQ(GlobalAtoms::Find("Made by the child"), theirs) << "the parent's reference keeps it";
}

TEST(GlobalAtoms, ProcessesAddingAtOnceAgreeOnEveryAtom) {
    CTempEnvironment env;
    constexpr int kChildren = 4;
    constexpr int kTexts = 40;
    std::vector<std::unique_ptr<CChildProcess>> children;
    for (int c = 0; c < kChildren; ++c)
        children.push_back(std::make_unique<CChildProcess>([](const CChildProcess::Channel& channel) {
            if (channel.Await() != 'g')
                return 2;
            for (int i = 0; i < kTexts; ++i)
                if (GlobalAtoms::Add("shared text " + std::to_string(i)) == 0)
                    return 3;
            return 0;
        }));
    for (auto& child : children)
        child->Tell('g');
    for (auto& child : children)
        EXPECT_EQ(child->Wait(), 0);
    std::set<ATOM> atoms;
    for (int i = 0; i < kTexts; ++i) {
        ATOM atom = GlobalAtoms::Find("shared text " + std::to_string(i));
        ASSERT_NE(atom, 0) << i;
        atoms.insert(atom);
        // Every child's reference was counted: four deletes succeed, the fifth finds nothing left.
        for (int c = 0; c < kChildren; ++c)
            EXPECT_EQ(GlobalAtoms::Delete(atom), 0);
        EXPECT_EQ(GlobalAtoms::Delete(atom), atom);
    }
    EXPECT_EQ(atoms.size(), static_cast<size_t>(kTexts));
}

} // namespace
