#include "core/RegistryRoutines.h"
#include "support/ProgramFixture.h"

using namespace platform::reg;

namespace {

class RegistryRoutinesTest : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        reg.hkey = HKEY_LOCAL_MACHINE;
        reg.KeyRoot = "SOFTWARE\\Brenmark\\Tarvello";
        reg.Subkey = "General";
        ASSERT_EQ(reg.CreateKey(), "0");
    }
    // Writes raw bytes the way another program could have stored them.
    void SetRaw(const QString& name, std::uint32_t type, const QByteArray& data)
    {
        HKEY key = 0;
        ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, reg.KeyRoot + "\\" + reg.Subkey, KEY_ALL_ACCESS, &key), 0);
        ASSERT_EQ(RegSetValueEx(key, name, type, data), 0);
        RegCloseKey(key);
    }
    RegistryRoutines reg;
};

TEST_F(RegistryRoutinesTest, FreshInstanceFailsQuietly)
{
    RegistryRoutines fresh;
    EXPECT_FALSE(fresh.KeyExists());
    EXPECT_FALSE(fresh.GetRegistryValue("x").isValid());
    EXPECT_EQ(fresh.GetRegistryValue("x", 5).toInt(), 5);
    EXPECT_FALSE(fresh.SetRegistryValue("x", "y", REG_SZ));
    EXPECT_NE(fresh.CreateKey(), "0");
}

TEST_F(RegistryRoutinesTest, TextRoundTripAndMissingValues)
{
    EXPECT_TRUE(reg.SetRegistryValue("txtName", QString::fromUtf8("Björk"), REG_SZ));
    EXPECT_EQ(reg.GetRegistryValue("txtName").toString(), QString::fromUtf8("Björk"));
    EXPECT_EQ(reg.GetRegistryValue("TXTNAME").toString(), QString::fromUtf8("Björk"));
    EXPECT_FALSE(reg.GetRegistryValue("missing").isValid());
    EXPECT_EQ(reg.GetRegistryValue("missing", "dflt").toString(), "dflt");
    // A long value needs the second query.
    QString longText(2000, 'L');
    EXPECT_TRUE(reg.SetRegistryValue("long", longText, REG_SZ));
    EXPECT_EQ(reg.GetRegistryValue("long").toString(), longText);
}

TEST_F(RegistryRoutinesTest, EmptySubkeyAddressesKeyRootItself)
{
    RegistryRoutines root;
    root.hkey = HKEY_LOCAL_MACHINE;
    root.KeyRoot = "SOFTWARE\\Brenmark\\Tarvello";
    EXPECT_TRUE(root.KeyExists());
    EXPECT_TRUE(root.SetRegistryValue("atRoot", "1", REG_SZ));
    EXPECT_EQ(root.GetRegistryValue("atRoot").toString(), "1");
    EXPECT_FALSE(reg.GetRegistryValue("atRoot").isValid());
}

TEST_F(RegistryRoutinesTest, EmptyStringValues)
{
    SetRaw("zeroBytes", REG_SZ, QByteArray());
    SetRaw("onlyTerminator", REG_SZ, QByteArray(1, '\0'));
    EXPECT_EQ(reg.GetRegistryValue("zeroBytes", "dflt").toString(), "dflt");
    QVariant v = reg.GetRegistryValue("onlyTerminator", "dflt");
    EXPECT_EQ(v.typeId(), QMetaType::QString);
    EXPECT_EQ(v.toString(), "");
}

TEST_F(RegistryRoutinesTest, WritesNeverCreateKeys)
{
    reg.Subkey = "No Such Section";
    EXPECT_FALSE(reg.SetRegistryValue("x", "1", REG_SZ));
    EXPECT_FALSE(reg.KeyExists());
}

TEST_F(RegistryRoutinesTest, UnwritableTypesAndValuesReportFailure)
{
    EXPECT_FALSE(reg.SetRegistryValue("t5", "1", 5));
    EXPECT_FALSE(reg.SetRegistryValue("notNumber", "abc", REG_DWORD));
    EXPECT_FALSE(reg.SetRegistryValue("list", QStringList{"a"}, REG_SZ));
    EXPECT_FALSE(reg.GetRegistryValue("t5").isValid());
    EXPECT_FALSE(reg.GetRegistryValue("notNumber").isValid());
    EXPECT_FALSE(reg.GetRegistryValue("list").isValid());
}

TEST_F(RegistryRoutinesTest, NamesWithALineBreakAreNeverReportedAsWritten)
{
    for (const QString name : {"two\nlines", "two\r\nlines", "two\rlines"}) {
        EXPECT_FALSE(reg.SetRegistryValue(name, "1", REG_SZ));
        EXPECT_EQ(reg.CreateKey(name), QString::number(ERROR_INVALID_PARAMETER));
        ResetCache();
        EXPECT_FALSE(reg.GetRegistryValue(name).isValid());
        RegistryRoutines below = reg;
        below.Subkey = name;
        EXPECT_FALSE(below.KeyExists());
    }
}

TEST_F(RegistryRoutinesTest, ValueConversionsByType)
{
    struct Case {
        const char* name;
        QVariant value;
        int dtype;
        QVariant expected;
    };
    const Case cases[] = {
        {"fromInt", 42, REG_SZ, QString("42")},
        {"fromBool", true, REG_SZ, QString("True")},
        {"fromReal", 37.5, REG_SZ, QString("37.5")},
        {"dwordText", QString(" 12 "), REG_DWORD, 12},
        {"dwordNeg", -1, REG_DWORD, -1},
        {"dwordHalf", 2.5, REG_DWORD, 2},
        {"binary", QByteArray("\x01\x00\x02", 3), REG_BINARY, QByteArray("\x01\x00\x02", 3)},
        {"multi", QString("a") + QChar(0) + "b", REG_MULTI_SZ, QString("a") + QChar(0) + "b"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(reg.SetRegistryValue(c.name, c.value, c.dtype)) << c.name;
        EXPECT_EQ(reg.GetRegistryValue(c.name), c.expected) << c.name;
    }
}

TEST_F(RegistryRoutinesTest, MultiStringAndExpandableValuesAsStored)
{
    SetRaw("multi", REG_MULTI_SZ, QByteArray("a\0b\0\0", 5));
    QString multi = reg.GetRegistryValue("multi").toString();
    EXPECT_EQ(multi.size(), 3);
    EXPECT_EQ(multi, QString("a") + QChar(0) + "b");
    SetRaw("emptyFirst", REG_MULTI_SZ, QByteArray("\0b\0\0", 4));
    EXPECT_EQ(reg.GetRegistryValue("emptyFirst", "dflt").toString(), "dflt");
    qputenv("TARVELLO_EXPAND_TEST", "/opt/x");
    SetRaw("expand", REG_EXPAND_SZ, QByteArray("%TARVELLO_EXPAND_TEST%/bin\0", 27));
    EXPECT_EQ(reg.GetRegistryValue("expand").toString(), "/opt/x/bin");
}

TEST_F(RegistryRoutinesTest, KeysCreateDeleteAndEnumerate)
{
    EXPECT_EQ(reg.CreateKey(), "0"); // opening an existing key succeeds again
    EXPECT_EQ(reg.CreateKey(QString("Formats\\WAV")), "0");
    EXPECT_EQ(reg.CreateKey(QString("Events")), "0");
    EXPECT_EQ(reg.DeleteKey("Not There"), 2);
    EXPECT_EQ(reg.EnumRegistryKeys(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brenmark\\Tarvello"),
              QStringList({"Events", "Formats", "General"}));
    EXPECT_EQ(reg.EnumRegistryKeys(HKEY_LOCAL_MACHINE, ""), QStringList({"SOFTWARE"}));
    EXPECT_TRUE(reg.EnumRegistryKeys(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nowhere").isEmpty());
    EXPECT_EQ(reg.DeleteKey("Events"), 0);
    EXPECT_EQ(reg.EnumRegistryKeys(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brenmark\\Tarvello"),
              QStringList({"Formats", "General"}));

    reg.SetRegistryValue("one", "1", REG_SZ);
    reg.SetRegistryValue("two", QString(5000, 'x'), REG_SZ);
    EXPECT_EQ(reg.EnumRegistryValues(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brenmark\\Tarvello\\General"),
              QStringList({"one", "two"}));
    EXPECT_EQ(reg.DeleteValue("one"), 0);
    EXPECT_EQ(reg.DeleteValue("one"), 2);
    reg.Subkey = "Gone";
    EXPECT_EQ(reg.DeleteValue("two"), 2);
}

TEST_F(RegistryRoutinesTest, RemoteRegistryIsNeverReached)
{
    EXPECT_EQ(reg.ReadRemoteRegistryValue("otherpc", HKEY_LOCAL_MACHINE, "x").toString(), "Error!");
    EXPECT_FALSE(reg.WriteRemoteRegistryValue("otherpc", HKEY_LOCAL_MACHINE, "x", "1", REG_SZ));
}

TEST(RegistryRoutinesTrimNull, CutsAtTheFirstNul)
{
    QString s = QString("abc") + QChar(0) + "def";
    EXPECT_EQ(RegistryRoutines::TrimNull(s), "abc");
    EXPECT_EQ(s, "abc");
    QString plain = "plain";
    EXPECT_EQ(RegistryRoutines::TrimNull(plain), "plain");
    QString far = QString(40000, 'a') + QChar(0) + "b";
    EXPECT_EQ(RegistryRoutines::TrimNull(far).size(), 40002);
}

} // namespace
