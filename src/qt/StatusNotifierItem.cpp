#include "qt/StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QtEndian>

#include <utility>

namespace tolvane {

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap) {
    arg.beginStructure();
    arg << pixmap.width << pixmap.height << pixmap.bytes;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap) {
    arg.beginStructure();
    arg >> pixmap.width >> pixmap.height >> pixmap.bytes;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip) {
    arg.beginStructure();
    arg << tip.iconName << tip.pixmaps << tip.title << tip.text;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip) {
    arg.beginStructure();
    arg >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DbusMenuNode& node) {
    arg.beginStructure();
    arg << node.id << node.properties;
    // Children travel as variants, which is what makes the layout's type recursive.
    arg.beginArray(qMetaTypeId<QDBusVariant>());
    for (const DbusMenuNode& child : node.children) {
        arg << QDBusVariant(QVariant::fromValue(child));
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DbusMenuNode& node) {
    // Hosts never send a layout; only the type's signature is needed.
    arg.beginStructure();
    arg >> node.id >> node.properties;
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant ignored;
        arg >> ignored;
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DbusMenuItem& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DbusMenuItem& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DbusMenuRemoved& removed) {
    arg.beginStructure();
    arg << removed.id << removed.names;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DbusMenuRemoved& removed) {
    arg.beginStructure();
    arg >> removed.id >> removed.names;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DbusMenuEvent& event) {
    arg.beginStructure();
    arg << event.id << event.eventId << event.data << event.timestamp;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DbusMenuEvent& event) {
    arg.beginStructure();
    arg >> event.id >> event.eventId >> event.data >> event.timestamp;
    arg.endStructure();
    return arg;
}

namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128};

SniPixmaps PixmapsOf(const QIcon& icon) {
    SniPixmaps pixmaps;
    for (int size : {16, 22, 32, 48}) {
        QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) continue;
        SniPixmap pixmap{image.width(), image.height(), {}};
        pixmap.bytes.resize(image.width() * image.height() * 4);
        auto* out = reinterpret_cast<quint32*>(pixmap.bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) *out++ = qToBigEndian(line[x]);
        }
        pixmaps.append(pixmap);
    }
    return pixmaps;
}

// dbusmenu labels mark the access key with '_' where Qt uses '&'.
QString MenuLabel(QString text) {
    text.replace(QLatin1Char('_'), QStringLiteral("__"));
    text.replace(QLatin1Char('&'), QLatin1Char('_'));
    return text;
}

class SniAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ Category)
    Q_PROPERTY(QString Id READ Id)
    Q_PROPERTY(QString Title READ Title)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(int WindowId READ WindowId)
    Q_PROPERTY(QString IconThemePath READ IconThemePath)
    Q_PROPERTY(QString IconName READ IconName)
    Q_PROPERTY(QList<tolvane::SniPixmap> IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ Empty)
    Q_PROPERTY(QList<tolvane::SniPixmap> OverlayIconPixmap READ NoPixmaps)
    Q_PROPERTY(QString AttentionIconName READ Empty)
    Q_PROPERTY(QList<tolvane::SniPixmap> AttentionIconPixmap READ NoPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ Empty)
    Q_PROPERTY(tolvane::SniToolTip ToolTip READ ToolTip)
    Q_PROPERTY(QString IconAccessibleDesc READ IconAccessibleDesc)
    Q_PROPERTY(QString AttentionAccessibleDesc READ Empty)
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ Menu)

public:
    explicit SniAdaptor(StatusNotifierItem* item) : QDBusAbstractAdaptor(item), m_item(*item) {
        connect(item, &StatusNotifierItem::NewIcon, this, &SniAdaptor::NewIcon);
        connect(item, &StatusNotifierItem::NewToolTip, this, &SniAdaptor::NewToolTip);
    }

    QString Category() const { return QStringLiteral("ApplicationStatus"); }
    QString Id() const { return QStringLiteral("tolvane"); }
    QString Title() const { return QStringLiteral("Tolvane"); }
    // What a screen reader says for the icon: the program and what the click does.
    QString IconAccessibleDesc() const {
        return QStringLiteral("Tolvane 报时时钟：单击报时，右键打开菜单");
    }
    QString Status() const { return QStringLiteral("Active"); }
    int WindowId() const { return 0; }
    QString Empty() const { return {}; }
    QString IconName() const { return m_item.IconName(); }
    QString IconThemePath() const { return m_item.IconThemePath(); }
    QList<SniPixmap> IconPixmap() const { return m_item.IconPixmaps(); }
    QList<SniPixmap> NoPixmaps() const { return {}; }
    SniToolTip ToolTip() const { return m_item.ToolTip(); }
    bool ItemIsMenu() const { return false; }
    QDBusObjectPath Menu() const { return QDBusObjectPath(kMenuPath); }

public slots:
    void Activate(int, int) { m_item.Activate(); }
    void SecondaryActivate(int, int) { m_item.SecondaryActivate(); }
    void ContextMenu(int x, int y) { m_item.ContextMenu(x, y); }
    void Scroll(int, const QString&) {}
    void ProvideXdgActivationToken(const QString&) {}

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    StatusNotifierItem& m_item;
};

class DbusMenuAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ Version)
    Q_PROPERTY(QString TextDirection READ TextDirection)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(QStringList IconThemePath READ IconThemePath)

public:
    DbusMenuAdaptor(QObject* parent, StatusNotifierItem& item)
        : QDBusAbstractAdaptor(parent), m_item(item) {
        connect(&item, &StatusNotifierItem::LayoutUpdated, this, &DbusMenuAdaptor::LayoutUpdated);
    }

    uint Version() const { return 3; }
    QString TextDirection() const { return QStringLiteral("ltr"); }
    QString Status() const { return QStringLiteral("normal"); }
    QStringList IconThemePath() const { return {}; }

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList&,
                   tolvane::DbusMenuNode& layout) {
        layout = m_item.Layout(parentId, recursionDepth);
        return m_item.Revision();
    }
    QList<tolvane::DbusMenuItem> GetGroupProperties(const QList<int>& ids, const QStringList&) {
        QList<DbusMenuItem> items;
        for (int id : ids.isEmpty() ? m_item.ItemIds() : ids) {
            items.append({id, m_item.ItemProperties(id)});
        }
        return items;
    }
    QDBusVariant GetProperty(int id, const QString& name) {
        return QDBusVariant(m_item.ItemProperties(id).value(name));
    }
    void Event(int id, const QString& eventId, const QDBusVariant&, uint) {
        m_item.MenuEvent(id, eventId);
    }
    QList<int> EventGroup(const QList<tolvane::DbusMenuEvent>& events) {
        for (const DbusMenuEvent& event : events) m_item.MenuEvent(event.id, event.eventId);
        return {};
    }
    bool AboutToShow(int id) {
        if (id == 0) emit m_item.HostMenuShown();
        return false;
    }
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
        if (ids.contains(0)) emit m_item.HostMenuShown();
        idErrors.clear();
        return {};
    }

signals:
    void ItemsPropertiesUpdated(const QList<tolvane::DbusMenuItem>& updated,
                                const QList<tolvane::DbusMenuRemoved>& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    StatusNotifierItem& m_item;
};

}  // namespace

StatusNotifierItem::StatusNotifierItem(QMenu& menu, Events events)
    : m_menu(menu), m_events(std::move(events)) {
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmaps>();
    qDBusRegisterMetaType<SniToolTip>();
    qDBusRegisterMetaType<DbusMenuNode>();
    qDBusRegisterMetaType<DbusMenuItem>();
    qDBusRegisterMetaType<DbusMenuItems>();
    qDBusRegisterMetaType<DbusMenuRemoved>();
    qDBusRegisterMetaType<DbusMenuRemovedList>();
    qDBusRegisterMetaType<DbusMenuEvent>();
    qDBusRegisterMetaType<DbusMenuEvents>();
    new SniAdaptor(this);
    auto* menuObject = new QObject(this);
    new DbusMenuAdaptor(menuObject, *this);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    m_service =
        QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
    m_exported = bus.registerService(m_service) &&
                 bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors) &&
                 bus.registerObject(kMenuPath, menuObject, QDBusConnection::ExportAdaptors);
}

void StatusNotifierItem::RegisterWithWatcher() {
    if (!m_exported) return;
    if (!m_registered) {
        m_registered = true;
        ShowIcon();
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"), kWatcher,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_service;
    // Never wait on the panel: a busy one must not hold up the clock.
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
}

// Hosts fetch every property again after each NewToolTip (xfce4-panel calls GetAll), so the
// pictures go by name from a theme folder of our own: pixmaps in the item would travel with
// every tick of the tooltip's clock. Files unthemed and in hicolor's layout, since hosts look
// up the folder either way.
bool StatusNotifierItem::ExportIcon(const QString& name, const QIcon& icon) {
    if (m_themeFolder.isEmpty()) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (runtime.isEmpty()) return false;
        m_themeFolder = runtime + QStringLiteral("/tolvane-icons");
        QDir hicolor(m_themeFolder + QStringLiteral("/hicolor"));
        QString directories;
        QString sections;
        for (int size : kIconSizes) {
            const QString folder = QStringLiteral("%1x%1/apps").arg(size);
            directories += (directories.isEmpty() ? "" : ",") + folder;
            sections += QStringLiteral("\n[%1]\nSize=%2\nType=Fixed\n").arg(folder).arg(size);
            hicolor.mkpath(folder);
        }
        QFile index(hicolor.filePath(QStringLiteral("index.theme")));
        if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            index.write(("[Icon Theme]\nName=Hicolor\nDirectories=" + directories + "\n" + sections)
                            .toUtf8()) < 0) {
            m_themeFolder.clear();
            return false;
        }
    }
    bool saved = icon.pixmap(64, 64).save(m_themeFolder + "/" + name + ".png", "PNG");
    for (int size : kIconSizes) {
        saved = saved && icon.pixmap(size, size)
                             .save(QStringLiteral("%1/hicolor/%2x%2/apps/%3.png")
                                       .arg(m_themeFolder)
                                       .arg(size)
                                       .arg(name),
                                   "PNG");
    }
    return saved;
}

void StatusNotifierItem::SetIcon(const QString& themeName, const QIcon& icon) {
    m_wantedName = themeName;
    m_wantedIcon = icon;
    if (m_registered) ShowIcon();
}

void StatusNotifierItem::ShowIcon() {
    // Pixmaps only where no folder of ours can be written.
    const bool byName = ExportIcon(m_wantedName, m_wantedIcon);
    m_iconName = byName ? m_wantedName : QString();
    m_pixmaps = byName ? SniPixmaps{} : PixmapsOf(m_wantedIcon);
    emit NewIcon();
}

void StatusNotifierItem::SetToolTip(const QString& text) {
    if (text == m_toolTip) return;
    m_toolTip = text;
    emit NewToolTip();
}

SniToolTip StatusNotifierItem::ToolTip() const {
    // Hosts show the title as plain text and the description as markup: the program's name,
    // then every line of the tooltip, escaped.
    return {{}, {}, QStringLiteral("Tolvane"), m_toolTip.toHtmlEscaped()};
}

void StatusNotifierItem::MenuChanged() {
    ++m_revision;
    emit LayoutUpdated(m_revision, 0);
}

QList<std::pair<QAction*, int>> StatusNotifierItem::Entries() const {
    QList<std::pair<QAction*, int>> entries;
    for (QAction* action : m_menu.actions()) entries.append({action, 0});
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (const QMenu* submenu = entries[i].first->menu()) {
            for (QAction* action : submenu->actions()) {
                entries.append({action, static_cast<int>(i + 1)});
            }
        }
    }
    return entries;
}

QList<int> StatusNotifierItem::ItemIds() const {
    QList<int> ids{0};
    for (qsizetype i = 0; i < Entries().size(); ++i) ids.append(static_cast<int>(i + 1));
    return ids;
}

QVariantMap StatusNotifierItem::ItemProperties(int id) const {
    const QVariantMap submenu{{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    if (id == 0) return submenu;
    const auto entries = Entries();
    if (id < 1 || id > entries.size()) return {};
    const QAction* action = entries[id - 1].first;
    if (action->isSeparator()) return {{QStringLiteral("type"), QStringLiteral("separator")}};
    QVariantMap properties{{QStringLiteral("label"), MenuLabel(action->text())},
                           {QStringLiteral("enabled"), action->isEnabled()},
                           {QStringLiteral("visible"), action->isVisible()}};
    if (action->menu() != nullptr) properties.insert(submenu);
    if (action->isCheckable()) {
        properties.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
    }
    return properties;
}

DbusMenuNode StatusNotifierItem::Layout(int parentId, int depth) const {
    DbusMenuNode node{parentId, ItemProperties(parentId), {}};
    if (depth == 0) return node;
    const auto entries = Entries();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].second == parentId) {
            node.children.append(Layout(static_cast<int>(i + 1), depth < 0 ? depth : depth - 1));
        }
    }
    return node;
}

void StatusNotifierItem::MenuEvent(int id, const QString& eventId) const {
    const auto entries = Entries();
    if (eventId != QLatin1String("clicked") || id < 1 || id > entries.size()) return;
    QAction* action = entries[id - 1].first;
    // Not from inside the host's call: the action may open a modal dialog.
    if (action->isEnabled() && !action->isSeparator() && action->menu() == nullptr) {
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    }
}

}  // namespace tolvane

#include "StatusNotifierItem.moc"
