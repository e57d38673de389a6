#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace tolvane {

// One picture of an icon as StatusNotifierItem hosts read it: ARGB32 in network byte order.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniPixmaps = QList<SniPixmap>;

struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

// One node of a com.canonical.dbusmenu layout, with its children.
struct DbusMenuNode {
    int id = 0;
    QVariantMap properties;
    QList<DbusMenuNode> children;
};

struct DbusMenuItem {
    int id = 0;
    QVariantMap properties;
};
using DbusMenuItems = QList<DbusMenuItem>;

struct DbusMenuRemoved {
    int id = 0;
    QStringList names;
};
using DbusMenuRemovedList = QList<DbusMenuRemoved>;

struct DbusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DbusMenuEvents = QList<DbusMenuEvent>;

// The tray icon as an org.kde.StatusNotifierItem on the session bus, with its menu exported as
// com.canonical.dbusmenu, so that hosts (xfce4-panel, waybar, KDE, GNOME's AppIndicator) show
// the menu themselves.
class StatusNotifierItem final : public QObject {
    Q_OBJECT

public:
    struct Events {
        std::function<void()> activate;
        std::function<void(int x, int y)> contextMenu;
        std::function<void()> secondaryActivate;  // the middle button
    };

    StatusNotifierItem(QMenu& menu, Events events);

    // False where there is no session bus or the names cannot be taken.
    bool IsExported() const { return m_exported; }
    // Asks the watcher to show the item; again each time a watcher appears.
    void RegisterWithWatcher();
    void SetIcon(const QString& themeName, const QIcon& icon);
    void SetToolTip(const QString& text);
    // The menu's entries changed (checks, enabled); hosts read the layout again.
    void MenuChanged();

    // What the adaptors serve.
    QString IconName() const { return m_iconName; }
    QString IconThemePath() const { return m_iconName.isEmpty() ? QString() : m_themeFolder; }
    SniPixmaps IconPixmaps() const { return m_pixmaps; }
    SniToolTip ToolTip() const;
    void Activate() const { m_events.activate(); }
    void SecondaryActivate() const { m_events.secondaryActivate(); }
    void ContextMenu(int x, int y) const { m_events.contextMenu(x, y); }
    DbusMenuNode Layout(int parentId, int depth) const;
    QVariantMap ItemProperties(int id) const;
    QList<int> ItemIds() const;
    void MenuEvent(int id, const QString& eventId) const;
    uint Revision() const { return m_revision; }

signals:
    void NewIcon();
    void NewToolTip();
    void LayoutUpdated(uint revision, int parent);
    // The host is about to show the exported menu itself; it does not say when it closes it.
    void HostMenuShown();

private:
    bool ExportIcon(const QString& name, const QIcon& icon);
    // Every entry of the menu and of its submenus, an entry's id being its place here from 1,
    // with its parent's id (0 for the menu itself).
    QList<std::pair<QAction*, int>> Entries() const;
    void ShowIcon();

    QMenu& m_menu;
    Events m_events;
    QString m_service;
    QString m_iconName;
    QString m_themeFolder;
    SniPixmaps m_pixmaps;
    QString m_toolTip;
    uint m_revision = 1;
    bool m_exported = false;
    // The picture, written out only once a watcher has been asked to show the item: on an X11
    // tray it would cost the start a few tens of milliseconds of PNG files for nothing.
    QString m_wantedName;
    QIcon m_wantedIcon;
    bool m_registered = false;
};

}  // namespace tolvane

Q_DECLARE_METATYPE(tolvane::SniPixmap)
Q_DECLARE_METATYPE(tolvane::SniToolTip)
Q_DECLARE_METATYPE(tolvane::DbusMenuNode)
Q_DECLARE_METATYPE(tolvane::DbusMenuItem)
Q_DECLARE_METATYPE(tolvane::DbusMenuRemoved)
Q_DECLARE_METATYPE(tolvane::DbusMenuEvent)
