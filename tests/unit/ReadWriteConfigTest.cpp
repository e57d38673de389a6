#include "settings/ReadWriteConfig.h"

#include <gtest/gtest.h>

#include "fakes/MemoryProfileStore.h"
#include "settings/TemporaryFile.h"

namespace tolvane::testing {
namespace {

constexpr char kFile[] = "C:\\T\\Value.ini";

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() { config.SpecifyIni(kFile); }
    fakes::MemoryProfileStore store;
    读写配置 config{store};
};

TEST(ConfigFileUnbound, ReportsNoFileAndTouchesNothing) {
    fakes::MemoryProfileStore store;
    读写配置 config(store);
    EXPECT_EQ(config.ErrorMsg, "");
    EXPECT_FALSE(config.WriteString("Tolvane", "k", "1"));
    EXPECT_EQ(config.ErrorMsg, "没有指定文件 ");
    config.ErrorMsg = "x";
    EXPECT_EQ(config.ReadString("Tolvane", "k", 12), "");
    EXPECT_EQ(config.ErrorMsg, "没有指定文件 ");
    config.ErrorMsg = "x";
    EXPECT_EQ(config.ReadInt("Tolvane", "k"), 0);
    EXPECT_EQ(config.ErrorMsg, "没有指定文件 ");
    EXPECT_TRUE(store.calls.empty());
}

TEST(ConfigFileUnbound, SpecifyIniTrimsSpacesOnlyAndKeepsErrorMsg) {
    fakes::MemoryProfileStore store;
    读写配置 config(store);
    config.ErrorMsg = "earlier";
    config.SpecifyIni("  C:\\A B\\Value.ini \t ");
    EXPECT_EQ(config.FilePath(), "C:\\A B\\Value.ini \t");
    EXPECT_EQ(config.ErrorMsg, "earlier");
    config.SpecifyIni("   ");
    EXPECT_EQ(config.FilePath(), "");
}

TEST_F(ConfigFileTest, ReadIntTellsAStoredZeroFromAMissingKey) {
    store.files[kFile] = "[Tolvane]\r\nzero=0\r\none=1\r\nword=abc\r\n";
    struct Row {
        const char* key;
        std::int32_t expected;
        int platformReads;
        const char* errorAfter;
    };
    const Row rows[] = {
        // key      value  reads  ErrorMsg afterwards ("keep" = left as it was)
        {"one", 1, 1, "keep"},
        {"zero", 0, 2, "keep"},
        {"word", 0, 2, "keep"},
        {"missing", 0, 2, "不能读取 "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        store.calls.clear();
        config.ErrorMsg = "keep";
        EXPECT_EQ(config.ReadInt("Tolvane", row.key), row.expected);
        EXPECT_EQ(store.CountOf("GetInt"), row.platformReads);
        EXPECT_EQ(config.ErrorMsg, row.errorAfter);
        if (row.platformReads == 2) {
            EXPECT_EQ(store.calls[0].argument, "0");
            EXPECT_EQ(store.calls[1].argument, "1");
        }
    }
}

TEST_F(ConfigFileTest, ReadStringCutsToSizeMinusOneAndClearsErrorMsg) {
    store.files[kFile] = "[Tolvane]\r\n广告日期=2026|12|06 and more\r\n";
    config.ErrorMsg = "old";
    EXPECT_EQ(config.ReadString("Tolvane", "广告日期", 12), "2026|12|06 ");
    EXPECT_EQ(config.ErrorMsg, "");
    EXPECT_EQ(config.ReadString("Tolvane", "missing", 12), "");
    EXPECT_EQ(config.ErrorMsg, "");
    ASSERT_EQ(store.calls.back().op, "GetString");
    EXPECT_EQ(store.calls.back().argument, "/12");
}

TEST_F(ConfigFileTest, WriteStringReportsFailureAndSuccess) {
    config.ErrorMsg = "old";
    EXPECT_TRUE(config.WriteString("Tolvane", "报时设置", "2"));
    EXPECT_EQ(config.ErrorMsg, "");
    EXPECT_EQ(store.files[kFile], "[Tolvane]\r\n报时设置=2\r\n");

    store.readOnly[kFile] = true;
    EXPECT_FALSE(config.WriteString("Tolvane", "报时设置", "1"));
    EXPECT_EQ(config.ErrorMsg, "写入失败 ");
    EXPECT_EQ(store.files[kFile], "[Tolvane]\r\n报时设置=2\r\n");
}

TEST_F(ConfigFileTest, ErrorMsgFollowsASequenceOfCalls) {
    store.files[kFile] = "[Tolvane]\r\nk=0\r\n";
    std::vector<std::string> seen;
    config.ReadInt("Tolvane", "gone");
    seen.push_back(config.ErrorMsg);
    config.ReadInt("Tolvane", "k");
    seen.push_back(config.ErrorMsg);
    config.ReadString("Tolvane", "k", 12);
    seen.push_back(config.ErrorMsg);
    store.readOnly[kFile] = true;
    config.WriteString("Tolvane", "k", "1");
    seen.push_back(config.ErrorMsg);
    config.ReadInt("Tolvane", "k");
    seen.push_back(config.ErrorMsg);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"不能读取 ", "不能读取 ", "", "写入失败 ", "写入失败 "}));
}

TEST(TemporaryFile, OnlyOurOwnNamesTellTheirWriter) {
    EXPECT_EQ(TemporaryFileOwner(TemporaryFileName("Value.ini", 4321, 15), "Value.ini"), 4321u);
    // A user's own files beside Value.ini are never taken for a dead writer's.
    for (const char* name : {"Value.ini", "Value.ini.tmp", "Value.ini.tmp12", "Value.ini.tmp12-",
                             "Value.ini.tmp-1", "Value.ini.tmp1x-1", "Value.ini.tmp12-1.bak",
                             "Value.ini.tmp1234567890-1", "Other.ini.tmp12-1"}) {
        EXPECT_EQ(TemporaryFileOwner(name, "Value.ini"), 0u) << name;
    }
}

}  // namespace
}  // namespace tolvane::testing
