#include "qt/LinuxProfileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TempFolder.h"

namespace tolvane::testing {
namespace {

class LinuxProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_dir.empty()); }

    void Put(const std::string& bytes, mode_t mode = 0644) {
        std::ofstream(m_file, std::ios::binary) << bytes;
        ::chmod(m_file.c_str(), mode);
    }
    std::string Get() const {
        std::ifstream in(m_file, std::ios::binary);
        std::stringstream out;
        out << in.rdbuf();
        return out.str();
    }
    ino_t Inode() const {
        struct stat st {};
        ::stat(m_file.c_str(), &st);
        return st.st_ino;
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(m_dir.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") names.push_back(name);
            }
            ::closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    LinuxProfileStore m_store;
    TempFolder m_folder{"profile"};
    const std::string m_dir = m_folder.Path();
    const std::string m_file = m_dir + "/Value.ini";
};

TEST_F(LinuxProfileStoreTest, FirstWriteCreatesTheFileAndReadsBack) {
    EXPECT_EQ(m_store.GetInt("Tolvane", "报时设置", 0, m_file), 0);
    EXPECT_EQ(Entries(), std::vector<std::string>{});
    ASSERT_TRUE(m_store.WriteString("Tolvane", "报时设置", "2", m_file));
    EXPECT_EQ(Get(), "[Tolvane]\r\n报时设置=2\r\n");
    EXPECT_EQ(m_store.GetInt("Tolvane", "报时设置", 0, m_file), 2);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Value.ini"});
}

TEST_F(LinuxProfileStoreTest, WriteReplacesTheFileWholeAndKeepsItsMode) {
    Put("; mine\n[Tolvane]\nk=1\n", 0640);
    const ino_t before = Inode();
    ASSERT_TRUE(m_store.WriteString("Tolvane", "k", "2", m_file));
    EXPECT_EQ(Get(), "; mine\n[Tolvane]\nk=2\n");
    EXPECT_NE(Inode(), before);  // a new file renamed into place, never rewritten in place
    struct stat st {};
    ::stat(m_file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Value.ini"});
}

TEST_F(LinuxProfileStoreTest, AnUnchangedValueDoesNotTouchTheFile) {
    Put("[Tolvane]\nk=1\n");
    const ino_t before = Inode();
    ASSERT_TRUE(m_store.WriteString("Tolvane", "k", "1", m_file));
    EXPECT_EQ(Inode(), before);
}

TEST_F(LinuxProfileStoreTest, RefusedWritesLeaveTheOldFileIntact) {
    struct Row {
        const char* name;
        std::function<void()> arrange;
    };
    const std::string old = "[Tolvane]\nk=1\n";
    const Row rows[] = {
        {"read_only_file", [&] { Put(old, 0444); }},
        {"read_only_folder",
         [&] {
             Put(old);
             ::chmod(m_dir.c_str(), 0555);
         }},
        {"utf16_file", [&] { Put("\xFF\xFE[\0T\0]\0", 0644); }},
        {"oversized_file",
         [&] {
             Put(old);
             ASSERT_EQ(::truncate(m_file.c_str(), LinuxProfileStore::kMaxFileBytes + 1), 0);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.arrange();
        const std::string before = Get();
        EXPECT_FALSE(m_store.WriteString("Tolvane", "k", "2", m_file));
        ::chmod(m_dir.c_str(), 0700);
        EXPECT_EQ(Get(), before);
        EXPECT_EQ(Entries(), std::vector<std::string>{"Value.ini"});
        ::chmod(m_file.c_str(), 0644);
        ::unlink(m_file.c_str());
    }
}

// A file copied from the Windows program is in GBK; it reads as such and stays in it.
TEST_F(LinuxProfileStoreTest, EachFileKeepsItsOwnEncoding) {
    // clang-format off
    const std::string gbkFormat = "\xB8\xF1\xCA\xBD\xC9\xE8\xD6\xC3";  // 格式设置
    const std::string gbkOff = "\xB9\xD8\xB1\xD5\xB1\xA8\xCA\xB1";     // 关闭报时
    const std::string gbkDate = "\xB9\xE3\xB8\xE6\xC8\xD5\xC6\xDA";    // 广告日期
    const std::string gbkChinese = "\xD6\xD0\xCE\xC4";                    // 中文
    struct Row {
        const char* name;
        std::string before;
        const char* key;
        const char* value;
        std::string after;
    };
    const Row rows[] = {
        {"gbk_value_replaced", "[Tolvane]\r\n" + gbkFormat + "=2\r\n" + gbkOff + "=0\r\n", "关闭报时", "1",
         "[Tolvane]\r\n" + gbkFormat + "=2\r\n" + gbkOff + "=1\r\n"},
        {"gbk_key_added", "[Tolvane]\r\n" + gbkFormat + "=2\r\n", "广告日期", "中文",
         "[Tolvane]\r\n" + gbkFormat + "=2\r\n" + gbkDate + "=" + gbkChinese + "\r\n"},
        {"gbk_comment_kept", "; " + gbkChinese + "\n[Tolvane]\n" + gbkFormat + "=1\n", "格式设置", "0",
         "; " + gbkChinese + "\n[Tolvane]\n" + gbkFormat + "=0\n"},
        {"utf8_stays_utf8", "[Tolvane]\n格式设置=2\n", "关闭报时", "中文", "[Tolvane]\n格式设置=2\n关闭报时=中文\n"},
        {"ascii_gets_utf8", "[Tolvane]\nk=1\n", "广告日期", "中文", "[Tolvane]\nk=1\n广告日期=中文\n"},
        {"neither_is_kept_as_it_is", "[Tolvane]\nk=\x80\xFF\n", "k", "2", "[Tolvane]\nk=2\n"},
        // One stray GBK pair (啊) in a UTF-8 file: settings stay, and the file one encoding.
        {"utf8_with_gbk_comment", "; \xB0\xA1\n[Tolvane]\n格式设置=2\n关闭报时=0\n", "关闭报时", "1",
         "; 啊\n[Tolvane]\n格式设置=2\n关闭报时=1\n"},
        {"gbk_with_a_line_valid_as_utf8", "; \xC2\xA5\r\n[Tolvane]\r\n" + gbkFormat + "=2\r\n", "关闭报时", "1",
         "; \xC2\xA5\r\n[Tolvane]\r\n" + gbkFormat + "=2\r\n" + gbkOff + "=1\r\n"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Put(row.before);
        ASSERT_TRUE(m_store.WriteString("Tolvane", row.key, row.value, m_file));
        EXPECT_EQ(Get(), row.after);
        EXPECT_EQ(m_store.GetString("Tolvane", row.key, "", 64, m_file), row.value);
    }
    Put("[Tolvane]\r\n" + gbkFormat + "=2\r\n" + gbkDate + "=2010|07|28\r\n");
    EXPECT_EQ(m_store.GetInt("Tolvane", "格式设置", 0, m_file), 2);
    EXPECT_EQ(m_store.GetString("Tolvane", "广告日期", "", 12, m_file), "2010|07|28");
}

TEST_F(LinuxProfileStoreTest, MissingFolderFailsQuietly) {
    const std::string nowhere = m_dir + "/gone/Value.ini";
    EXPECT_FALSE(m_store.WriteString("Tolvane", "k", "1", nowhere));
    EXPECT_EQ(m_store.GetInt("Tolvane", "k", 3, nowhere), 3);
}

TEST_F(LinuxProfileStoreTest, OddFilesReadAsMissingWithoutBlocking) {
    ASSERT_EQ(::mkfifo(m_file.c_str(), 0644), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_store.GetInt("Tolvane", "k", 9, m_file), 9);
    EXPECT_EQ(m_store.GetString("Tolvane", "k", "", 12, m_file), "");
    EXPECT_FALSE(m_store.WriteString("Tolvane", "k", "1", m_file));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ::unlink(m_file.c_str());

    ASSERT_EQ(::mkdir(m_file.c_str(), 0755), 0);
    EXPECT_EQ(m_store.GetInt("Tolvane", "k", 9, m_file), 9);
    EXPECT_FALSE(m_store.WriteString("Tolvane", "k", "1", m_file));
}

TEST_F(LinuxProfileStoreTest, OversizedFileReadsAsMissing) {
    Put("[Tolvane]\nk=1\n");
    ASSERT_EQ(::truncate(m_file.c_str(), 1LL << 31), 0);  // sparse: no real disk use
    EXPECT_EQ(m_store.GetInt("Tolvane", "k", 4, m_file), 4);
}

TEST_F(LinuxProfileStoreTest, SymlinkedFileIsUpdatedWhereItPoints) {
    const std::string target = m_dir + "/real.ini";
    std::ofstream(target) << "[Tolvane]\nk=1\n";
    ASSERT_EQ(::symlink("real.ini", m_file.c_str()), 0);
    ASSERT_TRUE(m_store.WriteString("Tolvane", "k", "2", m_file));
    struct stat st {};
    ASSERT_EQ(::lstat(m_file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(m_store.GetInt("Tolvane", "k", 0, target), 2);
}

}  // namespace
}  // namespace tolvane::testing
