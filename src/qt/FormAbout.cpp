#include "qt/FormAbout.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
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
#include "qt/TableDialog.h"

namespace tolvane {
namespace {

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

// 宋体 9 pt underlined, grown with the dialog font.
QFont LinkFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("sans-serif")});
    font.setPointSizeF(9 * DialogFont().pointSizeF() / kDialogPoints);
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

    QLabel* picture = nullptr;
    const ControlSpec* line = nullptr;
    int dpi = kDefaultDpi;
    BuildTable(
        *this, kAboutDialog,
        [this, &picture, &line](const ControlSpec& control, QWidget* parent) -> QWidget* {
            QString text = FromUtf8(AboutText(control, kAboutPageUrl));
            switch (control.kind) {
                case ControlKind::Picture:
                    return picture = new QLabel(parent);
                case ControlKind::Separator:
                    line = &control;
                    return nullptr;
                case ControlKind::LinkLabel: {
                    // Label_链接官方网站: in the tab order, it opens its own caption on the left
                    // button, Space or Enter; a message says so when no browser could.
                    QAbstractButton* link = MakeButton(control, parent);
                    link->setText(text);
                    link->setFont(LinkFont());
                    connect(link, &QAbstractButton::clicked, this,
                            [this, text] { OpenInBrowser(this, text); });
                    return link;
                }
                case ControlKind::Button: {
                    auto* button = new QPushButton(text, parent);
                    button->setDefault(true);
                    connect(button, &QPushButton::clicked, this, &frmAbout::Unload);
                    return button;
                }
                default: {
                    auto* label = new QLabel(
                        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), parent);
                    label->setTextFormat(Qt::PlainText);
                    label->setWordWrap(static_cast<AboutRole>(control.role) ==
                                       AboutRole::Description);
                    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                    if (static_cast<AboutRole>(control.role) == AboutRole::Title) {
                        QFont bold = DialogFont();
                        bold.setBold(true);
                        label->setFont(bold);
                    }
                    return label;
                }
            }
        },
        &dpi);
    if (picture != nullptr) picture->setPixmap(icon.pixmap(picture->size()));
    if (line != nullptr) AddEtchedLine(this, LocalPixels(*line, dpi));
    connect(this, &QDialog::finished, &m_loop, &QEventLoop::quit);
}

void frmAbout::ShowModal() {
    CentreOnScreen(*this);
    show();
    activateWindow();
    // OK first: it takes the keyboard, with its focus frame showing.
    setAttribute(Qt::WA_KeyboardFocusChange);
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
