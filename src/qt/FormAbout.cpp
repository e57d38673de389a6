#include "qt/FormAbout.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <string>

#include "about/AboutBox.h"
#include "about/WebAddresses.h"
#include "qt/DialogFont.h"
#include "qt/QtText.h"

namespace tolvane {
namespace {

// The mouse button as a button code: 1 left, 2 right, 4 middle.
int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

// An opener that has not ended by then has handed the address to a browser, which may keep it
// running for as long as the browser runs.
constexpr int kOpenerVerdictMs = 10'000;

// Hands the address to xdg-open and says so over `box` when it cannot be started or ends in a
// failure (it exists on most desktops and fails where no browser is set up); its own output
// goes where ours goes.
void OpenInBrowser(QWidget* box, const QString& address) {
    // No parent: destroying a QProcess kills its program, which may be the browser by then.
    auto* opener = new QProcess;
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    auto decided = std::make_shared<bool>(false);
    const QPointer<QWidget> owner(box);
    const auto fail = [owner, address, decided] {
        if (*decided) return;
        *decided = true;
        QMessageBox::information(owner, FromUtf8(AboutCaption()),
                                 FromUtf8(NoBrowserMessage(address.toStdString())));
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, fail](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         opener->deleteLater();
                         fail();
                     });
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, fail](int code, QProcess::ExitStatus status) {
                         opener->deleteLater();
                         if (status != QProcess::NormalExit || code != 0) fail();
                     });
    QTimer::singleShot(kOpenerVerdictMs, opener, [decided] { *decided = true; });
    opener->start(QStringLiteral("xdg-open"), {address});
}

// Label_链接官方网站: opens its own caption on a left button press, nothing otherwise.
class LinkLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (LinkOpensFor(ButtonCode(event->button()))) OpenInBrowser(window(), text());
        event->accept();
    }
};

QFont LinkFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("sans-serif")});
    font.setPointSize(9);
    font.setUnderline(true);
    return font;
}

// An etched line: grey (128, 128, 128) over white two pixels high.
void AddEtchedLine(QWidget* parent, const PixelRect& rect) {
    auto* grey = new QFrame(parent);
    grey->setGeometry(rect.left, rect.top, rect.width, 1);
    grey->setStyleSheet(QStringLiteral("background-color: rgb(128, 128, 128); border: none;"));
    auto* white = new QFrame(parent);
    white->setGeometry(rect.left, rect.top + 1, rect.width, 2);
    white->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 255); border: none;"));
}

}  // namespace

frmAbout::frmAbout(const QIcon& icon) {
    setObjectName(QStringLiteral("frmAbout"));
    // A tool window keeps the box out of the taskbar.
    MakeFixedDialog(*this, kAboutDialog, Qt::Tool);
    setWindowTitle(FromUtf8(AboutCaption()));

    for (const ControlSpec& control : kAboutControls) {
        const PixelRect rect = LocalPixels(control);
        QString text = FromUtf8(AboutText(control, kAboutPageUrl));
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::Picture: {
                auto* picture = new QLabel(this);
                picture->setPixmap(icon.pixmap(rect.width, rect.height));
                widget = picture;
                break;
            }
            case ControlKind::Separator:
                AddEtchedLine(this, rect);
                break;
            case ControlKind::LinkLabel: {
                auto* link = new LinkLabel(text, this);
                link->setFont(LinkFont());
                link->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
                link->setCursor(Qt::PointingHandCursor);
                widget = link;
                break;
            }
            case ControlKind::Button: {
                auto* button = new QPushButton(text, this);
                button->setDefault(true);
                connect(button, &QPushButton::clicked, this, &frmAbout::Unload);
                widget = button;
                break;
            }
            default: {
                auto* label =
                    new QLabel(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
                label->setTextFormat(Qt::PlainText);
                label->setWordWrap(static_cast<AboutRole>(control.role) == AboutRole::Description);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                if (static_cast<AboutRole>(control.role) == AboutRole::Title) {
                    QFont bold = DialogFont();
                    bold.setBold(true);
                    label->setFont(bold);
                }
                widget = label;
                break;
            }
        }
        if (widget == nullptr) continue;
        widget->setObjectName(FromUtf8(control.name));
        widget->setGeometry(ToQRect(rect));
    }
    connect(this, &QDialog::finished, &m_loop, &QEventLoop::quit);
}

void frmAbout::ShowModal() {
    CentreOnScreen(*this);
    show();
    activateWindow();
    if (isVisible()) m_loop.exec();
}

void frmAbout::BringForward() {
    raise();
    activateWindow();
}

void frmAbout::Unload() {
    done(QDialog::Accepted);
    m_loop.quit();
}

}  // namespace tolvane
