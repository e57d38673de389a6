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
    const std::string fits = "4\nhttp://d.example/\n" + big.substr(20);
    const struct {
        std::string description;
        const char* running;
        const char* offered;  // download address, nullptr for no offer
    } rows[] = {
        {"3.0.0.1\nhttp://d.example/get\n", "3.0.0.0", "http://d.example/get"},
        {"3.0.0.1\r\nhttp://d.example/get\r\n", "3.0.0.0", "http://d.example/get"},
        {"\xEF\xBB\xBF"
         "3.1\nHTTPS://d.example/\n",
         "3.0.0.0", "HTTPS://d.example/"},
        {"3.0.0.1\nhttp://d.example/get", "3.0.0.0", "http://d.example/get"},
        {"3.0.0.1\nhttp://d.example/get\nnotes follow\n\n", "3.0.0.0", "http://d.example/get"},
        {"10.0\nhttp://d.example/\n", "9.9", "http://d.example/"},
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
        {fits, "3.0.0.0", "http://d.example/"},
        {fits + "x", "3.0.0.0", nullptr},
        {"4.0\nhttp://d.example/\n", "garbage", nullptr},
    };
    for (const auto& row : rows) {
        const auto offer = UpdateOfferFor(row.description, row.running);
        const std::string shown = row.description.substr(0, 40);
        ASSERT_EQ(offer.has_value(), row.offered != nullptr) << shown;
        if (offer) {
            EXPECT_EQ(offer->downloadAddress, row.offered) << shown;
        }
    }
}

TEST(UpdateCheck, OfferTextNamesBothVersionsAndTheAddress) {
    const UpdateDescription offer{*ParseVersion("3.1"), "http://d.example/"};
    EXPECT_EQ(UpdateOfferText(offer, "3.0.0.0"),
              "Tolvane 有新版本 3.1.0.0（您使用的是 3.0.0.0）。\n\n是否打开下载页面？\n"
              "http://d.example/");
}

TEST(UpdateCheck, PlainHttpAddresses) {
    const struct {
        std::string address;
        std::optional<HttpAddress> parts;
    } rows[] = {
        {std::string(kUpdateDescriptionUrl),
         HttpAddress{"update.tolvane.example", 80, "/SiteBack/updateTxt/46.txt"}},
        {"http://h:8080/p?q#frag", HttpAddress{"h", 8080, "/p?q"}},
        {"HTTP://h", HttpAddress{"h", 80, "/"}},
        {"http://h?x", HttpAddress{"h", 80, "/?x"}},
        {"http://127.0.0.1/", HttpAddress{"127.0.0.1", 80, "/"}},
        {"https://h/", std::nullopt},
        {"http://user@h/", std::nullopt},
        {"http://h:0/", std::nullopt},
        {"http://h:99999/", std::nullopt},
        {"http://h:/", std::nullopt},
        {"http://:80/", std::nullopt},
        {"http:///", std::nullopt},
        {"http://h /", std::nullopt},
        {"http://h/\r\nX: y", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(SplitHttpAddress(row.address), row.parts) << row.address;
    EXPECT_EQ(HttpGetRequest(HttpAddress{"h", 8080, "/a"}, "T/1"),
              "GET /a HTTP/1.0\r\nHost: h:8080\r\nUser-Agent: T/1\r\nAccept: text/plain\r\n"
              "Connection: close\r\n\r\n");
}

TEST(UpdateCheck, ReplyBodyOnlyFromACompleteOkReply) {
    const struct {
        std::string reply;
        std::optional<std::string> body;
    } rows[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", "hello"},
        {"HTTP/1.0 200 OK\r\nServer: x\r\n\r\nto the end", "to the end"},
        {"HTTP/1.1 200\r\n\r\nx", "x"},
        {"HTTP/1.1 200 OK\r\ncontent-length:  3 \r\n\r\nabcdef", "abc"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", ""},
        {"HTTP/1.1 404 Not Found\r\n\r\nmissing", std::nullopt},
        {"HTTP/1.1 301 Moved\r\nLocation: http://x/\r\n\r\n", std::nullopt},
        {"HTTP/1.1 2000 OK\r\n\r\nx", std::nullopt},
        {"HTTP/2 200\r\n\r\nx", std::nullopt},
        {"ICY 200 OK\r\n\r\nx", std::nullopt},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
         std::nullopt},
        {"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nshort", std::nullopt},
        {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nabc", std::nullopt},
        {"HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nabc", std::nullopt},
        {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\nabc", std::nullopt},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", std::nullopt},
        {"HTTP/1.1 200 OK\r\n\r\n" + std::string(11, 'x'), std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(HttpReplyBody(row.reply, 10), row.body) << row.reply.substr(0, 30);
    }
}

}  // namespace
}  // namespace tolvane::testing
