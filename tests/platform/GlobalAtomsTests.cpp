// The per-user atom table: texts to numbers and back, case-blind, counted, shared between processes.
#include "platform/GlobalAtoms.h"
#include "support/CChildProcess.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

namespace {

using GlobalAtoms::ATOM;

TEST(GlobalAtoms, TextsShareAnAtomWithoutRegardToCaseAndReferencesAreCounted) {
    CTempEnvironment env;
    ATOM atom = GlobalAtoms::Add("Überkamera_{17F8B0B2}");
    ASSERT_GE(atom, GlobalAtoms::kFirstAtom);
    EXPECT_EQ(GlobalAtoms::Add("üBERKAMERA_{17f8b0b2}"), atom) << "case is ignored beyond ASCII too";
    ATOM b = GlobalAtoms::Add("b");
    EXPECT_EQ(b, atom + 1);
    std::string text;
    ASSERT_TRUE(GlobalAtoms::GetName(atom, text));
    EXPECT_EQ(text, "Überkamera_{17F8B0B2}") << "the text keeps the case it was first added with";
    EXPECT_EQ(GlobalAtoms::Delete(atom), 0);
    EXPECT_EQ(GlobalAtoms::Find("überkamera_{17F8B0B2}"), atom) << "one reference left";
    EXPECT_EQ(GlobalAtoms::Delete(atom), 0);
    EXPECT_EQ(GlobalAtoms::Find("Überkamera_{17F8B0B2}"), 0);
    EXPECT_FALSE(GlobalAtoms::GetName(atom, text));
    EXPECT_EQ(GlobalAtoms::Delete(atom), atom) << "an unknown atom cannot be deleted";
    EXPECT_EQ(GlobalAtoms::Add("c"), atom) << "the freed number";
}

TEST(GlobalAtoms, TextsThatCannotBeAtomsAreRefused) {
    CTempEnvironment env;
    EXPECT_EQ(GlobalAtoms::Add(""), 0);
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
