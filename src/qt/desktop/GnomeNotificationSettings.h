#pragma once

#include <optional>

namespace tolvane {

// GNOME's notification settings (org.gnome.desktop.notifications), read through GSettings.
// Apart from Qt: GLib's headers and Qt's keywords do not mix.
class GnomeNotificationSettings {
public:
    GnomeNotificationSettings() = default;
    ~GnomeNotificationSettings();
    GnomeNotificationSettings(const GnomeNotificationSettings&) = delete;
    GnomeNotificationSettings& operator=(const GnomeNotificationSettings&) = delete;

    // show-banners: false while do-not-disturb is on; nothing where the schema is not installed.
    std::optional<bool> ShowBanners();

private:
    void* m_settings = nullptr;  // GSettings, made at the first read
    bool m_looked = false;
};

}  // namespace tolvane
