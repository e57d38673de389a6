#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Profile-file cases shared by the portable INI tests and the comparison with the Windows
// profile functions. Every expectation here was also checked against Wine's kernel32.
namespace tolvane::testing {

using namespace std::string_view_literals;

inline constexpr std::int32_t kIntDefault = -77;

struct IniReadCase {
    const char* name;
    std::optional<std::string_view> file;  // nullopt: no file at all
    std::string_view section;
    std::string_view key;
    std::int32_t size;
    std::string_view expectedString;
    std::int32_t expectedInt;
};

inline std::optional<std::string_view> Absent() {
    return std::nullopt;
}

inline const std::vector<IniReadCase>& IniReadCases() {
    // clang-format off
    static const std::vector<IniReadCase> cases = {
        // name                  file                                           section    key       size expected string  int
        {"crlf_file", "[Tolvane]\r\n报时设置=2\r\n格式设置=1\r\n"sv, "Tolvane", "格式设置", 12, "1", 1},
        {"lf_file", "[Tolvane]\n报时设置=2\n"sv, "Tolvane", "报时设置", 12, "2", 2},
        {"cr_only_file", "[Tolvane]\r报时设置=2\r格式设置=1\r"sv, "Tolvane", "格式设置", 12, "1", 1},
        {"no_file", Absent(), "Tolvane", "报时设置", 12, "", kIntDefault},
        {"empty_file", ""sv, "Tolvane", "报时设置", 12, "", kIntDefault},
        {"missing_section", "[Other]\nk=1\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"missing_key", "[Tolvane]\nk=1\n"sv, "Tolvane", "j", 12, "", kIntDefault},
        {"names_ignore_case", "[tolvane]\nKEY=5\n"sv, "TOLVANE", "Key", 12, "5", 5},
        {"spaces_trimmed", "  [ Tolvane ]  \n  k  =  5  \n"sv, "Tolvane", "k", 12, "5", 5},
        {"tabs_trimmed", "[Tolvane]\n\tk\t=\t7\t\n"sv, "Tolvane", "k", 12, "7", 7},
        {"request_trimmed", "[Tolvane]\nk=5\n"sv, " Tolvane ", " k ", 12, "5", 5},
        {"double_quotes", "[Tolvane]\nk=\"42\"\n"sv, "Tolvane", "k", 12, "42", 42},
        {"single_quotes", "[Tolvane]\nk='9'\n"sv, "Tolvane", "k", 12, "9", 9},
        {"inner_quote_kept", "[Tolvane]\nk=\"a\"b\"\n"sv, "Tolvane", "k", 12, "a\"b", 0},
        {"lone_quote", "[Tolvane]\nk='\n"sv, "Tolvane", "k", 12, "'", 0},
        {"open_quote", "[Tolvane]\nk=\"5\n"sv, "Tolvane", "k", 12, "\"5", 0},
        {"empty_quotes", "[Tolvane]\nk=\"\"\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"empty_value", "[Tolvane]\nk=\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"no_equals_sign", "[Tolvane]\nk\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"bare_key_hides_later", "[Tolvane]\nk\nk=5\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"first_duplicate_key", "[Tolvane]\nk=1\nk=2\n"sv, "Tolvane", "k", 12, "1", 1},
        {"first_section_only", "[Tolvane]\nk=1\n[Tolvane]\nj=2\n"sv, "Tolvane", "j", 12, "", kIntDefault},
        {"empty_first_section", "[Tolvane]\n[Other]\n[Tolvane]\nk=1\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"comment_not_a_key", "[Tolvane]\n;k=5\nk=6\n"sv, "Tolvane", "k", 12, "6", 6},
        {"semicolon_in_value", "[Tolvane]\nk=a;b\n"sv, "Tolvane", "k", 12, "a;b", 0},
        {"second_equals_in_value", "[Tolvane]\nk==5\n"sv, "Tolvane", "k", 12, "=5", 0},
        {"utf8_bom", "\xEF\xBB\xBF[Tolvane]\r\nk=3\r\n"sv, "Tolvane", "k", 12, "3", 3},
        {"no_final_newline", "[Tolvane]\nk=4"sv, "Tolvane", "k", 12, "4", 4},
        {"keys_before_sections", "k=1\n[Tolvane]\nj=2\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"junk_after_header", "[Tolvane] junk\nk=5\n"sv, "Tolvane", "k", 12, "5", 5},
        {"last_bracket_ends_name", "[Tolvane]]\nk=4\n"sv, "Tolvane]", "k", 12, "4", 4},
        {"unclosed_header", "[Tolvane\nk=5\n"sv, "Tolvane", "k", 12, "", kIntDefault},
        {"empty_section_name", "[]\nk=5\n"sv, "", "k", 12, "", kIntDefault},
        {"nul_inside_file", "[Tolvane]\nk=6\0\nj=8\n"sv, "Tolvane", "j", 12, "8", 8},
        {"nul_ends_value", "[Tolvane]\nk=6\0x\nj=8\n"sv, "Tolvane", "k", 12, "6", 6},
        {"control_char_prefix", "[Tolvane]\nk=\x01 5\n"sv, "Tolvane", "k", 12, "\x01 5", 5},
        // numbers
        {"hex", "[Tolvane]\nk=0x10\n"sv, "Tolvane", "k", 12, "0x10", 16},
        {"hex_upper_x", "[Tolvane]\nk=0X10\n"sv, "Tolvane", "k", 12, "0X10", 0},
        {"hex_all_ones", "[Tolvane]\nk=0xFFFFFFFF\n"sv, "Tolvane", "k", 12, "0xFFFFFFFF", -1},
        {"hex_stops", "[Tolvane]\nk=0x1g\n"sv, "Tolvane", "k", 12, "0x1g", 1},
        {"hex_no_digits", "[Tolvane]\nk=0x\n"sv, "Tolvane", "k", 12, "0x", 0},
        {"negative_hex", "[Tolvane]\nk=-0x10\n"sv, "Tolvane", "k", 12, "-0x10", -16},
        {"octal", "[Tolvane]\nk=0o17\n"sv, "Tolvane", "k", 12, "0o17", 15},
        {"octal_bad_digit", "[Tolvane]\nk=0o8\n"sv, "Tolvane", "k", 12, "0o8", 0},
        {"binary", "[Tolvane]\nk=0b101\n"sv, "Tolvane", "k", 12, "0b101", 5},
        {"leading_zeros", "[Tolvane]\nk=00012\n"sv, "Tolvane", "k", 12, "00012", 12},
        {"plus_sign", "[Tolvane]\nk=+5\n"sv, "Tolvane", "k", 12, "+5", 5},
        {"minus_sign", "[Tolvane]\nk=-3\n"sv, "Tolvane", "k", 12, "-3", -3},
        {"sign_alone", "[Tolvane]\nk=-\n"sv, "Tolvane", "k", 12, "-", 0},
        {"sign_then_space", "[Tolvane]\nk=- 5\n"sv, "Tolvane", "k", 12, "- 5", 0},
        {"two_signs", "[Tolvane]\nk=+-5\n"sv, "Tolvane", "k", 12, "+-5", 0},
        {"digits_then_text", "[Tolvane]\nk=12abc\n"sv, "Tolvane", "k", 12, "12abc", 12},
        {"text", "[Tolvane]\nk=abc\n"sv, "Tolvane", "k", 12, "abc", 0},
        {"exponent_ignored", "[Tolvane]\nk=1e3\n"sv, "Tolvane", "k", 12, "1e3", 1},
        {"fullwidth_digits", "[Tolvane]\nk=１２\n"sv, "Tolvane", "k", 12, "１２", 0},
        {"int32_max_plus_one", "[Tolvane]\nk=2147483648\n"sv, "Tolvane", "k", 12, "2147483648", -2147483647 - 1},
        {"int32_min_minus_one", "[Tolvane]\nk=-2147483649\n"sv, "Tolvane", "k", 12, "-2147483649", 2147483647},
        {"wraps_at_2_to_32", "[Tolvane]\nk=4294967297\n"sv, "Tolvane", "k", 12, "4294967297", 1},
        {"twenty_digits", "[Tolvane]\nk=99999999999999999999\n"sv, "Tolvane", "k", 30, "99999999999999999999", 1661992959},
        {"only_29_chars_count", "[Tolvane]\nk=123456789012345678901234567890123\n"sv, "Tolvane", "k", 40, "123456789012345678901234567890123", 1849262357},
        // the buffer size
        {"cut_to_size_minus_one", "[Tolvane]\nk=12345\n"sv, "Tolvane", "k", 5, "1234", 12345},
        {"size_one_reads_empty", "[Tolvane]\nk=12345\n"sv, "Tolvane", "k", 1, "", 12345},
        {"advert_date_cut", "[Tolvane]\n广告日期=2026|12|06xyz\n"sv, "Tolvane", "广告日期", 12, "2026|12|06x", 2026},
        {"advert_date", "[Tolvane]\r\n广告日期=2026|12|06\r\n"sv, "Tolvane", "广告日期", 12, "2026|12|06", 2026},
        {"chinese_value", "[Tolvane]\nk=星期\n"sv, "Tolvane", "k", 12, "星期", 0},
    };
    // clang-format on
    return cases;
}

struct IniWriteCase {
    const char* name;
    std::optional<std::string_view> file;
    std::string_view section;
    std::string_view key;
    std::string_view value;
    std::optional<std::string_view> expectedFile;  // nullopt: the write is refused
    std::string_view otherKey;                     // a key in `section` that must keep its value
};

inline const std::vector<IniWriteCase>& IniWriteCases() {
    // clang-format off
    static const std::vector<IniWriteCase> cases = {
        {"creates_file", Absent(), "Tolvane", "报时设置", "1", "[Tolvane]\r\n报时设置=1\r\n"sv, ""},
        {"fills_empty_file", ""sv, "Tolvane", "报时设置", "1", "[Tolvane]\r\n报时设置=1\r\n"sv, ""},
        {"replaces_in_place", "[Tolvane]\r\nk=1\r\nj=2\r\n"sv, "Tolvane", "k", "5", "[Tolvane]\r\nk=5\r\nj=2\r\n"sv, "j"},
        {"keeps_spacing", "[Tolvane]\n  k = 1 \n"sv, "Tolvane", "k", "5", "[Tolvane]\n  k = 5 \n"sv, ""},
        {"appends_to_section", "[Tolvane]\nk=1\n\n[Other]\nz=1\n"sv, "Tolvane", "j", "2", "[Tolvane]\nk=1\nj=2\n\n[Other]\nz=1\n"sv, "k"},
        {"adds_section", "[Other]\nz=1"sv, "Tolvane", "k", "1", "[Other]\nz=1\n[Tolvane]\nk=1\n"sv, ""},
        {"keeps_comments", "; notes\n[Tolvane]\n; keep me\nk=1\n"sv, "Tolvane", "k", "2", "; notes\n[Tolvane]\n; keep me\nk=2\n"sv, ""},
        {"keeps_unknown_keys", "[Tolvane]\r\nx=9\r\nk=1\r\n"sv, "Tolvane", "k", "0", "[Tolvane]\r\nx=9\r\nk=0\r\n"sv, "x"},
        {"crlf_for_new_lines", "[Tolvane]\r\nk=1\r\n"sv, "Tolvane", "j", "2", "[Tolvane]\r\nk=1\r\nj=2\r\n"sv, "k"},
        {"keeps_bom", "\xEF\xBB\xBF[Tolvane]\nk=1\n"sv, "Tolvane", "k", "2", "\xEF\xBB\xBF[Tolvane]\nk=2\n"sv, ""},
        {"gives_bare_key_a_value", "[Tolvane]\nk\n"sv, "Tolvane", "k", "5", "[Tolvane]\nk=5\n"sv, ""},
        {"keeps_key_spelling", "[tolvane]\nK=1\n"sv, "Tolvane", "k", "2", "[tolvane]\nK=2\n"sv, ""},
        {"same_value_no_change", "[Tolvane]\nk = 1\n"sv, "Tolvane", "k", "1", "[Tolvane]\nk = 1\n"sv, ""},
        {"value_leading_spaces", "[Tolvane]\nk=1\n"sv, "Tolvane", "k", "  5", "[Tolvane]\nk=5\n"sv, ""},
        {"first_of_two_sections", "[Tolvane]\nk=1\n[Tolvane]\nj=2\n"sv, "Tolvane", "j", "3", "[Tolvane]\nk=1\nj=3\n[Tolvane]\nj=2\n"sv, "k"},
        {"last_line_unterminated", "[Tolvane]\nk=1"sv, "Tolvane", "j", "2", "[Tolvane]\nk=1\nj=2\n"sv, "k"},
        {"advert_date_value", "[Tolvane]\r\n"sv, "Tolvane", "广告日期", "2026|12|06", "[Tolvane]\r\n广告日期=2026|12|06\r\n"sv, ""},
        {"refuses_newline_in_value", "[Tolvane]\nk=1\n"sv, "Tolvane", "k", "1\nj=2", std::nullopt, "k"},
        {"refuses_cr_in_key", "[Tolvane]\nk=1\n"sv, "Tolvane", "a\rb", "1", std::nullopt, "k"},
        {"refuses_equals_in_key", "[Tolvane]\nk=1\n"sv, "Tolvane", "a=b", "1", std::nullopt, "k"},
        {"refuses_header_like_key", "[Tolvane]\nk=1\n"sv, "Tolvane", "[x]", "1", std::nullopt, "k"},
        {"refuses_empty_key", "[Tolvane]\nk=1\n"sv, "Tolvane", "  ", "1", std::nullopt, "k"},
        {"refuses_empty_section", "[Tolvane]\nk=1\n"sv, "", "k", "1", std::nullopt, ""},
    };
    // clang-format on
    return cases;
}

}  // namespace tolvane::testing
