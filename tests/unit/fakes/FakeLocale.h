#pragma once

#include <string>

#include "voice/Locale.h"

namespace tolvane::fakes {

class FakeLocale final : public Locale {
public:
    FakeLocale(std::string morning = "上午", std::string afternoon = "下午")
        : morning(std::move(morning)), afternoon(std::move(afternoon)) {}

    std::string HalfDayDesignator(const LocalDateTime& moment) override {
        return moment.hour < 12 ? morning : afternoon;
    }

    std::string morning;
    std::string afternoon;
};

}  // namespace tolvane::fakes
