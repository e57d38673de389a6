#include "qt/FormAdvert.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScreen>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include "qt/QtText.h"

namespace tolvane {
namespace {

constexpr qint64 kMaxPageBytes = 1024 * 1024;
constexpr qint64 kMaxImageBytes = 2 * 1024 * 1024;
constexpr int kMaxImages = 32;
constexpr int kTimeoutMs = 10'000;

bool IsWebAddress(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

}  // namespace

QVariant AdvertBrowser::loadResource(int type, const QUrl& name) {
    if (type != QTextDocument::ImageResource) return {};
    const auto found = m_images.constFind(document()->baseUrl().resolved(name));
    return found == m_images.constEnd() ? QVariant() : QVariant(*found);
}

Form_广告::Form_广告(AdvertWindowCore& core)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_core(core),
      m_browser(new AdvertBrowser(this)) {
    setWindowTitle(FromUtf8(kAdvertCaption));
    const int width = TwipsToPixels(kAdvertClientWidthTwips);
    const int height = TwipsToPixels(kAdvertClientHeightTwips);
    setFixedSize(width, height);
    m_browser->setGeometry(TwipsToPixels(kAdvertBrowserLeftTwips), 0, width, height);
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
        if (IsWebAddress(url)) QDesktopServices::openUrl(url);
    });
}

QNetworkReply* Form_广告::Get(const QUrl& url) {
    QNetworkRequest request(url);
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply* reply = m_network.get(request);
    m_replies.emplace_back(reply);
    return reply;
}

void Form_广告::Navigate(std::string_view address) {
    const QUrl url(FromUtf8(address));
    QNetworkReply* reply = Get(url);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxPageBytes) reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { PageArrived(reply); });
}

void Form_广告::PageArrived(QNetworkReply* reply) {
    reply->deleteLater();
    if (!m_open || reply->error() != QNetworkReply::NoError) return;
    const QByteArray body = reply->readAll();
    if (body.size() > kMaxPageBytes) return;
    QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
    m_html = decoder.isValid() ? decoder.decode(body) : QString::fromUtf8(body);
    QTextDocument* document = m_browser->document();
    document->setBaseUrl(reply->url());
    m_browser->setHtml(m_html);

    QSet<QUrl> images;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QUrl url = document->baseUrl().resolved(QUrl(format.toImageFormat().name()));
            if (IsWebAddress(url) && images.size() < kMaxImages) images.insert(url);
        }
    }
    m_pendingImages = int(images.size());
    if (m_pendingImages == 0) {
        Complete();
        return;
    }
    for (const QUrl& url : images) {
        QNetworkReply* image = Get(url);
        connect(image, &QNetworkReply::downloadProgress, image, [image](qint64 received, qint64) {
            if (received > kMaxImageBytes) image->abort();
        });
        connect(image, &QNetworkReply::finished, this, [this, image] { ImageArrived(image); });
    }
}

void Form_广告::ImageArrived(QNetworkReply* reply) {
    reply->deleteLater();
    if (!m_open) return;
    if (reply->error() == QNetworkReply::NoError) {
        const QImage image = QImage::fromData(reply->readAll());
        if (!image.isNull()) m_browser->AddImage(reply->request().url(), image);
    }
    // A missing picture leaves a gap, as in any browser; the page is still complete.
    if (--m_pendingImages == 0) {
        m_browser->setHtml(m_html);
        Complete();
    }
}

void Form_广告::Complete() {
    m_core.DocumentComplete();
}

void Form_广告::closeEvent(QCloseEvent* event) {
    if (m_open) {
        m_open = false;
        for (const QPointer<QNetworkReply>& reply : m_replies) {
            if (reply != nullptr) reply->abort();
        }
        m_core.Form_Unload();
    }
    event->accept();
}

void Form_广告::Hide() {
    hide();
}

void Form_广告::Show() {
    show();
}

AdvertGeometry Form_广告::Measure() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect outer = frameGeometry();
    if (screen == nullptr) return {0, 0, outer.width(), outer.height()};
    return {screen->geometry().width(), screen->geometry().height(), outer.width(), outer.height()};
}

std::int32_t Form_广告::MeasureTaskbarHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 0;
    // What panels keep free at the bottom of the screen.
    const int free = screen->geometry().bottom() - screen->availableGeometry().bottom();
    return free > 0 ? free : 0;
}

void Form_广告::MoveTo(int left, int top) {
    move(left, top);
}

void Form_广告::SetTop(int top) {
    move(frameGeometry().left(), top);
}

void Form_广告::OpenInBrowser(std::string_view address) {
    QDesktopServices::openUrl(QUrl(FromUtf8(address)));
}

}  // namespace tolvane
