// Time-server replies: whatever a server sends, a record that comes out is one the system
// accepts, and a classic reply written back from it reads as the same record.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "timesync/DaytimeReply.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

constexpr const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY",  "JUN",
                                   "JUL", "AUG", "SEPT", "OCT", "NOV", "DEC"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    tolvane::ParseClassicReply(reply);
    tolvane::ParseNistReply(reply);
    const auto record = tolvane::ParseDaytimeReply(reply);
    if (!record) return 0;
    Check(tolvane::IsSettableClockRecord(*record));
    Check(record->dayOfWeek == 0 && record->milliseconds == tolvane::ReplyResolutionMs(reply));

    char line[64];
    std::snprintf(line, sizeof line, "%02u %s %u %02u:%02u:%02u\r\n", record->day,
                  kMonths[record->month - 1], record->year, record->hour, record->minute,
                  record->second);
    auto again = tolvane::ParseDaytimeReply(line);
    Check(again.has_value());
    again->utc = record->utc;
    again->milliseconds = record->milliseconds;
    Check(*again == *record);
    return 0;
}
