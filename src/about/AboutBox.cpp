#include "about/AboutBox.h"

namespace tolvane {

std::string VersionText(const ProgramVersion& version) {
    return "版本 " + std::to_string(version.major) + "." + std::to_string(version.minor) + ".0." +
           std::to_string(version.revision);
}

std::string AboutCaption() {
    return "关于 " + std::string(kApplicationTitle);
}

std::string AboutDescription() {
    std::string text;
    for (std::string_view line : kAboutDescriptionLines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

std::string NoBrowserMessage(std::string_view address) {
    return "无法启动网页浏览器打开 " + std::string(address) + "，请在浏览器中输入这个地址。";
}

std::string AboutText(const ControlSpec& control, std::string_view linkAddress) {
    switch (static_cast<AboutRole>(control.role)) {
        case AboutRole::Title:
            return std::string(kApplicationTitle);
        case AboutRole::Version:
            return VersionText(kProgramVersion);
        case AboutRole::Description:
            return AboutDescription();
        case AboutRole::Link:
            return std::string(linkAddress);
        default:
            return std::string(control.caption);
    }
}

}  // namespace tolvane
