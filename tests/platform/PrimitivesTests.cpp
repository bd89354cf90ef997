#include "platform/CObjectFactory.h"
#include "platform/CSystemInfo.h"
#include "platform/Variant.h"
#include "support/CFakeClock.h"

#include <gtest/gtest.h>

namespace {
const Guid kClassA = "{11111111-2222-3333-4444-555555555555}";
const Guid kIFoo = "{AAAAAAAA-0000-0000-0000-000000000001}";

class IFoo : public IUnknown {
public:
    virtual int Value() = 0;
};

class CFoo : public IFoo {
public:
    static int live;
    CFoo() { ++live; }
    ~CFoo() override { --live; }
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        if (IsEqualGuid(iid, kIFoo) || IsEqualGuid(iid, IID_IUnknown)) {
            AddRef();
            *object = static_cast<IFoo*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t AddRef() override { return refs.Add(); }
    uint32_t Release() override {
        uint32_t n = refs.Drop();
        if (n == 0)
            delete this;
        return n;
    }
    int Value() override { return 42; }
    CRefCount refs;
};
int CFoo::live = 0;

HRESULT CreateFoo(const Guid& iid, void** object) {
    auto* foo = new CFoo;
    HRESULT hr = foo->QueryInterface(iid, object);
    foo->Release();
    return hr;
}
} // namespace

TEST(ObjectFactory, CreatesRegisteredClassesByIdIgnoringCaseAndLeaksNothingOnFailure) {
    CObjectFactory factory;
    IFoo* foo = nullptr;
    EXPECT_EQ(factory.Create(kClassA, kIFoo, &foo), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(foo, nullptr);

    factory.Register(kClassA, CreateFoo);
    std::string lower = kClassA;
    for (auto& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_EQ(factory.Create(lower, kIFoo, &foo), S_OK);
    ASSERT_NE(foo, nullptr);
    EXPECT_EQ(foo->Value(), 42);
    EXPECT_EQ(CFoo::live, 1);
    foo->Release();
    EXPECT_EQ(CFoo::live, 0);

    // A missing interface fails and leaks nothing.
    void* raw = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory.Create(kClassA, "{DEADBEEF-0000-0000-0000-000000000000}", &raw), E_NOINTERFACE);
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(CFoo::live, 0);
    EXPECT_EQ(factory.Create(kClassA, kIFoo, static_cast<void**>(nullptr)), E_POINTER);
    factory.Unregister(kClassA);
    EXPECT_FALSE(factory.IsRegistered(kClassA));
}

TEST(VariantValue, CopiesAreDeepAndTypesAreKept) {
    Variant text = Variant::FromString("camera");
    Variant copy = text;
    text = Variant::FromI4(5);
    EXPECT_EQ(copy.GetString(), "camera");
    EXPECT_EQ(copy.Type(), VarType::String);

    Variant bytes = Variant::FromBytes({1, 2, 3});
    Variant bytesCopy = bytes;
    EXPECT_NE(bytes.GetBytes().data(), bytesCopy.GetBytes().data());
    EXPECT_EQ(bytesCopy.GetBytes(), (std::vector<uint8_t>{1, 2, 3}));

    EXPECT_EQ(Variant::FromBool(true).GetBool(), VARIANT_TRUE);
    EXPECT_EQ(Variant::FromBool(true).GetBool(), -1);
    int32_t n = 0;
    EXPECT_TRUE(Variant::FromUI4(0xFFFFFFFFu).ToI4(n));
    EXPECT_EQ(n, -1);
    EXPECT_FALSE(Variant::FromString("1").ToI4(n));
    // A typed read of another type gives the fallback, not a reinterpretation.
    EXPECT_EQ(Variant::FromI4(7).GetUI4(99), 99u);
    EXPECT_TRUE(Variant().IsEmpty());
}

TEST(SystemInfo, LanguageIdsFromPosixLocales) {
    struct Case {
        const char* locale;
        LANGID id;
    } cases[] = {
        // Region decides where a language has several ids; codeset and modifier play no part.
        {"de_DE.UTF-8", 0x0407}, {"zh_TW.UTF-8", 0x0404}, {"zh_CN", 0x0804},
        {"nl_NL@euro", 0x0413},  {"de", 0x0407},          {"C", 0x0409},
        {"POSIX", 0x0409},       {"C.UTF-8", 0x0409},     {"", 0x0409},
        {"xx_YY", 0x0409},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSystemInfo::LangIdFromLocale(c.locale), c.id) << c.locale;
}
