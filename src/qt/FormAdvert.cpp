#include "qt/FormAdvert.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImageReader>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScreen>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTimer>

#include <memory>

#include "promo/AdvertPage.h"
#include "qt/QtText.h"

namespace tolvane {
namespace {

constexpr qint64 kMaxImageBytes = 2 * 1024 * 1024;
constexpr int kMaxImages = 32;
// For a whole reply, however slowly it trickles in.
constexpr int kTimeoutMs = 10'000;
// What the network layer may hold unread for one reply.
constexpr qint64 kReadBufferBytes = 64 * 1024;
// Decoded pictures take 4 bytes a pixel: 16 MB for all of them, plenty for a 300 × 200 window.
constexpr qint64 kMaxPicturePixels = 4'000'000;

bool IsWebAddress(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

}  // namespace

AdvertBrowser::AdvertBrowser(QWidget* parent)
    : QTextBrowser(parent), m_blank(1, 1, QImage::Format_ARGB32) {
    m_blank.fill(Qt::transparent);
}

QVariant AdvertBrowser::loadResource(int type, const QUrl& name) {
    // Never nothing: QTextDocument would then read a file of that name from this computer (for
    // a picture, under a dozen guessed extensions, each time it lays the page out). A missing
    // picture leaves a gap, as in any browser.
    if (type != QTextDocument::ImageResource) return QByteArray("");
    const auto found = m_images.constFind(document()->baseUrl().resolved(name));
    return found == m_images.constEnd() ? QVariant(m_blank) : QVariant(*found);
}

Form_广告::Form_广告(AdvertWindowCore& core)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_core(core),
      m_browser(new AdvertBrowser(this)),
      m_pixelsLeft(kMaxPicturePixels) {
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

void Form_广告::Get(const QUrl& url, qint64 maxBytes, Arrived arrived) {
    QNetworkRequest request(url);
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply* reply = m_network.get(request);
    m_replies.emplace_back(reply);
    // Read as it comes: the network layer would otherwise keep an endless reply in memory
    // until it ends, and a chunked one tells its size only then.
    reply->setReadBufferSize(kReadBufferBytes);
    auto body = std::make_shared<QByteArray>();
    connect(reply, &QNetworkReply::readyRead, reply, [reply, body, maxBytes] {
        body->append(reply->read(maxBytes + 1 - body->size()));
        if (body->size() > maxBytes) reply->abort();
    });
    // The transfer timeout starts again with every byte that arrives; this one does not.
    QTimer::singleShot(kTimeoutMs, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this, [this, reply, body, maxBytes, arrived] {
        reply->deleteLater();
        if (reply->error() == QNetworkReply::NoError) {
            body->append(reply->read(maxBytes + 1 - body->size()));
        }
        const bool whole = reply->error() == QNetworkReply::NoError && body->size() <= maxBytes;
        arrived(*reply, whole ? std::optional(*body) : std::nullopt);
    });
}

void Form_广告::Navigate(std::string_view address) {
    Get(QUrl(FromUtf8(address)), qint64{kMaxAdvertPageBytes},
        [this](QNetworkReply& reply, const std::optional<QByteArray>& body) {
            PageArrived(reply, body);
        });
}

void Form_广告::PageArrived(QNetworkReply& reply, const std::optional<QByteArray>& body) {
    if (!m_open || !body) return;
    QStringDecoder decoder = QStringDecoder::decoderForHtml(*body);
    const QString html = decoder.isValid() ? decoder.decode(*body) : QString::fromUtf8(*body);
    m_html = FromUtf8(SanitizeAdvertPage(html.toStdString()));
    QTextDocument* document = m_browser->document();
    document->setBaseUrl(reply.url());
    m_browser->setHtml(m_html);

    QSet<QUrl> images;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd() && images.size() < kMaxImages; ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QUrl image = document->baseUrl().resolved(QUrl(format.toImageFormat().name()));
            if (IsWebAddress(image)) images.insert(image);
        }
    }
    m_pendingImages = int(images.size());
    if (m_pendingImages == 0) {
        Complete();
        return;
    }
    for (const QUrl& image : images) {
        Get(image, kMaxImageBytes,
            [this](QNetworkReply& reply, const std::optional<QByteArray>& body) {
                ImageArrived(reply, body);
            });
    }
}

QImage Form_广告::Decode(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Decoding allocates what the picture's header declares: a 60 KB file may ask for 64 MB.
    const QSize size = reader.size();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (!size.isValid() || pixels <= 0 || pixels > m_pixelsLeft) return {};
    QImage image;
    if (!reader.read(&image)) return {};
    m_pixelsLeft -= pixels;
    return image;
}

void Form_广告::ImageArrived(QNetworkReply& reply, const std::optional<QByteArray>& body) {
    if (!m_open) return;
    if (body) {
        const QImage image = Decode(*body);
        if (!image.isNull()) m_browser->AddImage(reply.request().url(), image);
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
