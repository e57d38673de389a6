#include "promo/UpdateCheck.h"

#include <gtest/gtest.h>

#include "about/WebAddresses.h"

namespace tolvane::testing {
namespace {

using Parts = std::array<std::uint32_t, 4>;

TEST(UpdateCheck, VersionsAreUpToFourSmallNumbers) {
    const struct {
        const char* text;
        std::optional<Parts> parts;
    } rows[] = {
        {"3", Parts{3, 0, 0, 0}},
        {"3.0.1.0", Parts{3, 0, 1, 0}},
        {"00003.1", Parts{3, 1, 0, 0}},
        {"65535.65535.65535.65535", Parts{65535, 65535, 65535, 65535}},
        {"65536", std::nullopt},
        {"", std::nullopt},
        {"3.", std::nullopt},
        {".3", std::nullopt},
        {"3..0", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {" 3", std::nullopt},
        {"3.0.0.0 ", std::nullopt},
        {"+3", std::nullopt},
        {"-1", std::nullopt},
        {"0x10", std::nullopt},
        {"99999999999", std::nullopt},
        {"3,1", std::nullopt},
        {"３", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto version = ParseVersion(row.text);
        EXPECT_EQ(version.has_value(), row.parts.has_value()) << row.text;
        if (version && row.parts) {
            EXPECT_EQ(version->parts, *row.parts) << row.text;
        }
    }
}

TEST(UpdateCheck, OfferOnlyForAHigherVersionInAWellFormedDescription) {
    const std::string big(kMaxUpdateDescriptionBytes, 'x');
    const std::string fits = "4\nhttps://d.example/\n" + big.substr(21);
    const struct {
        std::string description;
        const char* running;
        const char* offered;  // download address, nullptr for no offer
    } rows[] = {
        {"3.0.0.1\nhttps://d.example/get\n", "3.0.0.0", "https://d.example/get"},
        {"3.0.0.1\r\nhttps://d.example/get\r\n", "3.0.0.0", "https://d.example/get"},
        {"\xEF\xBB\xBF"
         "3.1\nHTTPS://d.example/\n",
         "3.0.0.0", "HTTPS://d.example/"},
        {"3.0.0.1\nhttps://d.example/get", "3.0.0.0", "https://d.example/get"},
        {"3.0.0.1\nhttps://d.example/get\nnotes follow\n\n", "3.0.0.0", "https://d.example/get"},
        {"10.0\nhttps://d.example/\n", "9.9", "https://d.example/"},
        {"3.0.0.0\nhttp://d.example/\n", "3.0.0.0", nullptr},
        {"3\nhttp://d.example/\n", "3.0.0.0", nullptr},
        {"2.99\nhttp://d.example/\n", "3.0.0.0", nullptr},
        {"9.9\nhttp://d.example/\n", "10.0", nullptr},
        {"4.0\n", "3.0.0.0", nullptr},
        {"4.0", "3.0.0.0", nullptr},
        {"", "3.0.0.0", nullptr},
        {"4.0\n\nhttp://d.example/\n", "3.0.0.0", nullptr},
        {"4.0\nftp://d.example/\n", "3.0.0.0", nullptr},
        {"4.0\nhttp://\n", "3.0.0.0", nullptr},
        {"4.0\nhttp:///path\n", "3.0.0.0", nullptr},
        {"4.0\nhttp://d.example/a b\n", "3.0.0.0", nullptr},
        {"4.0\nhttp://d.example/下载\n", "3.0.0.0", nullptr},
        {"4.0\njavascript:alert(1)\n", "3.0.0.0", nullptr},
        {std::string("4.0\nhttp://d.example/\0\n", 23), "3.0.0.0", nullptr},
        {"v4.0\nhttp://d.example/\n", "3.0.0.0", nullptr},
        {"<html>404</html>\n", "3.0.0.0", nullptr},
        {"4.0\nhttp://d.example/" + std::string(kMaxDownloadAddressBytes, 'a') + "\n", "3.0.0.0",
         nullptr},
        {fits, "3.0.0.0", "https://d.example/"},
        {fits + "x", "3.0.0.0", nullptr},
        {"4.0\nhttps://d.example/\n", "garbage", nullptr},
        // Only a page on https:// on the host the description came from.
        {"4.0\nHTTPS://D.Example:8443/get?v=4#x\n", "3.0.0.0", "HTTPS://D.Example:8443/get?v=4#x"},
        {"4.0\nhttp://d.example/\n", "3.0.0.0", nullptr},
        {"4.0\nhttps://elsewhere.example/\n", "3.0.0.0", nullptr},
        {"4.0\nhttps://d.example.elsewhere.example/\n", "3.0.0.0", nullptr},
        {"4.0\nhttps://d.example@elsewhere.example/\n", "3.0.0.0", nullptr},
        {"4.0\nhttps://elsewhere.example\\@d.example/\n", "3.0.0.0", nullptr},
        {"4.0\nhttps://d.example./\n", "3.0.0.0", nullptr},
        {"4.0\nhttps://%64.example/\n", "3.0.0.0", nullptr},
    };
    for (const auto& row : rows) {
        const auto offer = UpdateOfferFor(row.description, row.running, "https://d.example/46.txt");
        const std::string shown = row.description.substr(0, 40);
        ASSERT_EQ(offer.has_value(), row.offered != nullptr) << shown;
        if (offer) {
            EXPECT_EQ(offer->downloadAddress, row.offered) << shown;
        }
    }
}

TEST(UpdateCheck, ADeclinedOfferComesAgainOnlyForANewerVersion) {
    const UpdateDescription offer{*ParseVersion("3.8.1"), "https://d.example/"};
    const struct {
        std::string state;
        bool declined;
    } rows[] = {
        {"", false},
        {DeclinedUpdateState(*ParseVersion("3.8.1")), true},
        {"[Update]\r\nDeclined=3.8.1.0\r\n", true},
        {DeclinedUpdateState(*ParseVersion("3.9")), true},
        {DeclinedUpdateState(*ParseVersion("3.8.0.9")), false},
        {"[Update]\nDeclined=3.8.x\n", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DeclinedBefore(offer, row.state), row.declined) << row.state;
}

TEST(UpdateCheck, OfferTextNamesBothVersionsAndTheAddress) {
    const UpdateDescription offer{*ParseVersion("3.1"), "http://d.example/"};
    EXPECT_EQ(UpdateOfferText(offer, "3.0.0.0"),
              "Tolvane 有新版本 3.1.0.0（您使用的是 3.0.0.0）。\n\n是否打开下载页面？\n"
              "http://d.example/");
}

TEST(UpdateCheck, WebAddresses) {
    const struct {
        std::string address;
        std::optional<WebAddress> parts;
    } rows[] = {
        {std::string(kUpdateDescriptionUrl),
         WebAddress{"https", "update.tolvane.example", 443, "/SiteBack/updateTxt/46.txt"}},
        {"http://h:8080/p?q#frag", WebAddress{"http", "h", 8080, "/p?q"}},
        {"HTTPS://Host.Example", WebAddress{"https", "host.example", 443, "/"}},
        {"https://h?x", WebAddress{"https", "h", 443, "/?x"}},
        {"https://127.0.0.1/", WebAddress{"https", "127.0.0.1", 443, "/"}},
        {"ftp://h/", std::nullopt},
        {"https://user@h/", std::nullopt},
        {"https://h:0/", std::nullopt},
        {"https://h:99999/", std::nullopt},
        {"https://:443/", std::nullopt},
        {"https://[::1]/", std::nullopt},
        {"https://h /", std::nullopt},
        {"https://h/\r\nX: y", std::nullopt},
        {"https://主机/", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(SplitWebAddress(row.address), row.parts) << row.address;
}

}  // namespace
}  // namespace tolvane::testing
