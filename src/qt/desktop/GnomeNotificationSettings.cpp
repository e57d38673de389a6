#include "qt/desktop/GnomeNotificationSettings.h"

#include <gio/gio.h>

namespace tolvane {
namespace {

constexpr char kSchema[] = "org.gnome.desktop.notifications";
constexpr char kShowBanners[] = "show-banners";

}  // namespace

GnomeNotificationSettings::~GnomeNotificationSettings() {
    if (m_settings != nullptr) g_object_unref(m_settings);
}

std::optional<bool> GnomeNotificationSettings::ShowBanners() {
    if (!m_looked) {
        m_looked = true;
        // Looked up first: GSettings ends the program on a schema that is not installed.
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        GSettingsSchema* schema =
            source != nullptr ? g_settings_schema_source_lookup(source, kSchema, TRUE) : nullptr;
        if (schema != nullptr) {
            if (g_settings_schema_has_key(schema, kShowBanners)) {
                m_settings = g_settings_new_full(schema, nullptr, nullptr);
            }
            g_settings_schema_unref(schema);
        }
    }
    if (m_settings == nullptr) return std::nullopt;
    return g_settings_get_boolean(static_cast<GSettings*>(m_settings), kShowBanners) != FALSE;
}

}  // namespace tolvane
